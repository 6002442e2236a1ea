// The grown window's rules: its size, F11, the fallback, and the grown copy.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/scaled_copy.h"
#include "app/window_rules.h"

TEST(WindowScale, LargestMultipleWithinNinetyPercentOfTheDesktop)
{
    struct Case { int width, height, scale; };
    for (const Case& c : {Case{1920, 1080, 2}, {2560, 1440, 2}, {3840, 2160, 4}, {1366, 768, 1}, {1024, 768, 1},
                          {7680, 4320, 8}, {1423, 1067, 2}, {1422, 1067, 1}, {1423, 1066, 1}})
        EXPECT_EQ(largestScale(c.width, c.height), c.scale) << c.width << "x" << c.height;
}

TEST(WindowScale, F11ActsOncePerPressAndNeverReachesTheKeyBuffer)
{
    bool held = false;
    std::vector<bool> toggles;
    for (bool down : {true, true, false, true})
        toggles.push_back(f11Toggles(held, down));
    EXPECT_EQ(toggles, (std::vector<bool>{true, false, false, true}));
    int f11 = KEY_F11, a = KEY_A; // F11 leaves neither a key nor a scancode in the buffer
    EXPECT_EQ(dropF11(0, &f11) | f11, 0);
    EXPECT_EQ(dropF11('a', &a), 'a');
    EXPECT_EQ(a, KEY_A);
}

TEST(WindowScale, ARefusedWindowFallsBackToTheOneItHad)
{
    struct Case { int refused, now; std::vector<int> tried; }; // refused: how many attempts fail
    for (const Case& c : {Case{0, 4, {4}}, {1, 1, {4, 1}}, {2, 0, {4, 1}}}) {
        std::vector<int> tried;
        EXPECT_EQ(switchScale(4, 1, [&](int scale) { tried.push_back(scale); return int(tried.size()) > c.refused; }), c.now);
        EXPECT_EQ(tried, c.tried);
    }
}

TEST(WindowScale, TheGrownWindowFollowsEveryChangeOfTheFrame)
{
    const int scale = 3;
    BITMAP* frame = create_bitmap(640, 480);
    BITMAP* shown = create_bitmap(640, 480);
    BITMAP* wide = create_bitmap(640 * scale, 480 * scale);
    BITMAP* target = create_bitmap(640 * scale, 480 * scale);
    auto grownFrom = [](BITMAP* from, BITMAP* to, int n) { // every pixel of to is the one of from it grew from
        for (int i = 0; i < to->w * to->h; ++i)
            if (to->line[i / to->w][i % to->w] != from->line[i / to->w / n][i % to->w / n])
                return false;
        return true;
    };
    clear_to_color(shown, 7);
    copyGrown(shown, wide, target, scale, 0, 0, 640, 480);
    std::srand(3);
    for (int i = 0; i < 640 * 480; ++i)
        frame->line[i / 640][i % 640] = static_cast<unsigned char>(std::rand() % 5);
    // Then changes at the corners and in consecutive rows of different widths.
    for (int xy : {-1, 0, 639, 479 << 10, 479 << 10 | 639, 200 << 10 | 5, 201 << 10 | 300, 202 << 10 | 100}) {
        if (xy >= 0)
            frame->line[xy >> 10][xy & 1023] = 9;
        copyChanged(frame, shown, wide, target, scale);
        EXPECT_TRUE(grownFrom(frame, target, scale)) << xy;
    }
    EXPECT_TRUE(grownFrom(frame, shown, 1)) << "the picture shown is remembered";
    for (BITMAP* b : {frame, shown, wide, target})
        destroy_bitmap(b);
}
