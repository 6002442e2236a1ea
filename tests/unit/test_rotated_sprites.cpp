#include <allegro.h>
#include <gtest/gtest.h>

#include <utility>

#include "world/rotated_sprites.h"

// The turned copies put down exactly what rotate_sprite would, at every
// angle, near every edge, and again after they were released.
TEST(RotatedSprites, PutDownExactlyTheRotatedPixels)
{
    BITMAP *sprite = create_bitmap(26, 40), *expected = create_bitmap(640, 480), *actual = create_bitmap(640, 480);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 26; ++x) // uneven: no symmetry hides a wrong turn
            putpixel(sprite, x, y, (x * 7 + y * 3) % 5 && x + y < 55 ? 1 + (x * 13 + y * 29) % 250 : 0);
    RotatedSprites cache;
    for (int round = 0; round < 2; ++round, cache.release())
        for (int angle = RotatedSprites::MIN_ANGLE - 2; angle <= RotatedSprites::MAX_ANGLE + 2; ++angle)
            for (auto [x, y] : {std::pair{0, 0}, {-40, -40}, {629, 100}, {300, 455}, {-13, 200}, {611, -21}}) {
                clear_to_color(expected, 9);
                clear_to_color(actual, 9);
                rotate_sprite(expected, sprite, x, y, itofix(angle));
                cache.draw(actual, sprite, x, y, angle);
                for (int row = 0; row < 480; ++row)
                    ASSERT_EQ(memcmp(expected->line[row], actual->line[row], 640), 0) << angle << " at " << x << "," << y;
            }
}
