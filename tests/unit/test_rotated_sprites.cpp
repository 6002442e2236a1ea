#include <allegro.h>
#include <gtest/gtest.h>

#include "world/rotated_sprites.h"

namespace {

// An uneven 26x40 picture: no symmetry can hide a wrong turn or offset.
BITMAP* unevenSprite()
{
    BITMAP* sprite = create_bitmap(26, 40);
    clear_bitmap(sprite);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 26; ++x)
            if ((x * 7 + y * 3) % 5 != 0 && x + y < 55)
                putpixel(sprite, x, y, 1 + (x * 13 + y * 29) % 250);
    return sprite;
}

int differingPixels(BITMAP* a, BITMAP* b)
{
    int count = 0;
    for (int y = 0; y < a->h; ++y)
        for (int x = 0; x < a->w; ++x)
            count += getpixel(a, x, y) != getpixel(b, x, y);
    return count;
}

} // namespace

TEST(RotatedSprites, PutsDownExactlyTheRotatedPixelsAnywhereIncludingEdges)
{
    BITMAP* sprite = unevenSprite();
    BITMAP* expected = create_bitmap(640, 480);
    BITMAP* actual = create_bitmap(640, 480);
    RotatedSprites cache;
    const int places[][2] = {{0, 0}, {-40, -40}, {629, 100}, {300, 455}, {17, 418}, {-13, 200}, {611, -21}};
    for (int angle = RotatedSprites::MIN_ANGLE - 2; angle <= RotatedSprites::MAX_ANGLE + 2; ++angle)
        for (const auto& place : places) {
            clear_to_color(expected, 9);
            clear_to_color(actual, 9);
            rotate_sprite(expected, sprite, place[0], place[1], itofix(angle));
            cache.draw(actual, sprite, place[0], place[1], angle);
            ASSERT_EQ(differingPixels(expected, actual), 0) << "angle " << angle << " at " << place[0] << ","
                                                            << place[1];
        }
    // Released copies are made again on the next draw.
    cache.release();
    clear_to_color(expected, 9);
    clear_to_color(actual, 9);
    rotate_sprite(expected, sprite, 50, 60, itofix(-7));
    cache.draw(actual, sprite, 50, 60, -7);
    EXPECT_EQ(differingPixels(expected, actual), 0);
    cache.release();
    destroy_bitmap(actual);
    destroy_bitmap(expected);
    destroy_bitmap(sprite);
}
