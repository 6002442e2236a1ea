#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "world/rotated_sprites.h"

// Draws the sprite through the cache and through rotate_sprite; true when the pictures agree.
static bool drawsAsRotateSprite(RotatedSprites& cache, BITMAP* sprite, int x, int y, int angle)
{
    BITMAP *drawn = create_bitmap(70, 80), *expected = create_bitmap(70, 80);
    clear_bitmap(drawn);
    clear_bitmap(expected);
    cache.draw(drawn, sprite, x, y, angle);
    rotate_sprite(expected, sprite, x, y, itofix(angle));
    bool same = true;
    for (int row = 0; row < 80; ++row)
        same = same && !std::memcmp(drawn->line[row], expected->line[row], 70);
    destroy_bitmap(drawn);
    destroy_bitmap(expected);
    return same;
}

// At every angle of the cache and past it, clipped at the edges; the copies are
// made once per sprite, until released.
TEST(RotatedSprites, DrawExactlyWhatRotateSpriteDraws)
{
    BITMAP *sprite = create_bitmap(26, 40), *other = create_bitmap(9, 5);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 26; ++x)
            putpixel(sprite, x, y, (x * 3 + y) % 7 ? 1 + (x + 26 * y) % 200 : 0); // holes of the mask colour
    clear_to_color(other, 7);
    RotatedSprites cache;
    for (int angle = -17; angle <= 17; ++angle)
        for (auto [x, y] : {std::pair{20, 20}, {-9, -14}, {50, 55}})
            EXPECT_TRUE(drawsAsRotateSprite(cache, sprite, x, y, angle)) << angle << " at " << x << "," << y;
    EXPECT_TRUE(drawsAsRotateSprite(cache, other, 20, 20, 5));
    clear_to_color(other, 9);
    EXPECT_FALSE(drawsAsRotateSprite(cache, other, 20, 20, 5)) << "drawn from the copies of the old picture";
    cache.release();
    EXPECT_TRUE(drawsAsRotateSprite(cache, other, 20, 20, 5));
    destroy_bitmap(sprite);
    destroy_bitmap(other);
}
