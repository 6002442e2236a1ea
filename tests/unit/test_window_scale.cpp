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
    int scancode = KEY_F11;
    EXPECT_EQ(dropF11(0, &scancode), 0);
    EXPECT_EQ(scancode, 0) << "dropped from the buffer";
    scancode = KEY_A;
    EXPECT_EQ(dropF11('a', &scancode), 'a');
    EXPECT_EQ(scancode, KEY_A);
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

// Every pixel of target is the pixel of frame it grew from.
bool grownFrom(BITMAP* frame, BITMAP* target, int scale)
{
    for (int y = 0; y < target->h; ++y)
        for (int x = 0; x < target->w; ++x)
            if (target->line[y][x] != frame->line[y / scale][x / scale])
                return false;
    return true;
}

TEST(WindowScale, TheGrownWindowFollowsEveryChangeOfTheFrame)
{
    const int scale = 3;
    BITMAP* frame = create_bitmap(640, 480);
    BITMAP* shown = create_bitmap(640, 480);
    BITMAP* wide = create_bitmap(640 * scale, 480 * scale);
    BITMAP* target = create_bitmap(640 * scale, 480 * scale);
    clear_to_color(shown, 7);
    std::srand(3);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            frame->line[y][x] = static_cast<unsigned char>(std::rand() % 5);
    copyGrown(shown, wide, target, scale, 0, 0, 640, 480);
    copyChanged(frame, shown, wide, target, scale);
    EXPECT_TRUE(grownFrom(frame, target, scale));
    // Changes at the corners and in rows of different widths, one band each.
    for (int xy : {0, 639, 479 << 10, 479 << 10 | 639, 200 << 10 | 5, 201 << 10 | 300, 202 << 10 | 100})
        frame->line[xy >> 10][xy & 1023] = 9;
    copyChanged(frame, shown, wide, target, scale);
    EXPECT_TRUE(grownFrom(frame, target, scale));
    EXPECT_TRUE(grownFrom(frame, shown, 1)) << "the picture shown is remembered";
    for (BITMAP* b : {frame, shown, wide, target})
        destroy_bitmap(b);
}
