#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "world/rotated_sprites.h"

// The turned copies put down what rotate_sprite puts down, at every angle of the
// cache and past it, clipped at the edges; the copies are made once per sprite,
// until released.
TEST(RotatedSprites, DrawExactlyWhatRotateSpriteDraws)
{
    BITMAP *sprite = create_bitmap(26, 40), *other = create_bitmap(9, 5), *blank = create_bitmap(6, 6);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 26; ++x)
            putpixel(sprite, x, y, (x * 3 + y) % 7 ? 1 + (x + 26 * y) % 200 : 0); // holes of the mask colour
    clear_to_color(other, 7);
    clear_bitmap(blank);
    RotatedSprites cache;
    auto matches = [&cache](BITMAP* s, int x, int y, int angle) {
        BITMAP *drawn = create_bitmap(70, 80), *expected = create_bitmap(70, 80);
        clear_to_color(drawn, 250);
        clear_to_color(expected, 250);
        cache.draw(drawn, s, x, y, angle);
        rotate_sprite(expected, s, x, y, itofix(angle));
        bool same = true;
        for (int row = 0; row < 80; ++row)
            same = same && !memcmp(drawn->line[row], expected->line[row], 70);
        destroy_bitmap(drawn);
        destroy_bitmap(expected);
        return same;
    };
    for (int angle = -17; angle <= 17; ++angle)
        for (auto [x, y] : {std::pair{20, 20}, {-9, -14}, {50, 55}})
            EXPECT_TRUE(matches(sprite, x, y, angle)) << angle << " at " << x << "," << y;
    for (BITMAP* s : {other, blank}) {
        EXPECT_TRUE(matches(s, 20, 20, 5));
        clear_to_color(s, 9);
        EXPECT_FALSE(matches(s, 20, 20, 5)) << "drawn from the copies of the old picture";
        cache.release();
        EXPECT_TRUE(matches(s, 20, 20, 5));
    }
    cache.release();
    for (BITMAP* b : {sprite, other, blank})
        destroy_bitmap(b);
}
