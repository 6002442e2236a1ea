#include <allegro.h>
#include <gtest/gtest.h>

#include "world/rotated_sprites.h"

// The turned copies put down exactly what rotate_sprite would, at every
// angle, near every edge, and again after they were released.
TEST(RotatedSprites, PutDownExactlyTheRotatedPixels)
{
    BITMAP* sprite = create_bitmap(26, 40); // uneven: no symmetry hides a wrong turn
    clear_bitmap(sprite);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 26; ++x)
            if ((x * 7 + y * 3) % 5 != 0 && x + y < 55)
                putpixel(sprite, x, y, 1 + (x * 13 + y * 29) % 250);
    BITMAP* expected = create_bitmap(640, 480);
    BITMAP* actual = create_bitmap(640, 480);
    RotatedSprites cache;
    const int places[][2] = {{0, 0}, {-40, -40}, {629, 100}, {300, 455}, {-13, 200}, {611, -21}};
    for (int round = 0; round < 2; ++round, cache.release())
        for (int angle = RotatedSprites::MIN_ANGLE - 2; angle <= RotatedSprites::MAX_ANGLE + 2; ++angle)
            for (const auto& p : places) {
                clear_to_color(expected, 9);
                clear_to_color(actual, 9);
                rotate_sprite(expected, sprite, p[0], p[1], itofix(angle));
                cache.draw(actual, sprite, p[0], p[1], angle);
                for (int y = 0; y < 480; ++y)
                    ASSERT_EQ(memcmp(expected->line[y], actual->line[y], 640), 0)
                        << "angle " << angle << " at " << p[0] << "," << p[1];
            }
    destroy_bitmap(actual);
    destroy_bitmap(expected);
    destroy_bitmap(sprite);
}
