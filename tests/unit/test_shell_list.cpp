#include <allegro.h>
#include <gtest/gtest.h>

#include "world/shell_list.h"

namespace {

struct Firing {
    int angle;
    float x, y, vx, vy;
};

const Shell& only(const ShellList& list)
{
    return list.items().front();
}

} // namespace

TEST(ShellFire, MatchesFiringTableBitForBit)
{
    const Firing table[] = {
        {0, 320.0f, 337.5f, 0.0f, -10.0f},
        {2, 321.349365234375f, 337.5331115722656f, 0.49067673087120056f, -9.987954139709473f},
        {32, 339.4454345703125f, 345.5545654296875f, 7.071067810058594f, -7.071067810058594f},
        {64, 347.5f, 365.0f, 10.0f, -6.123234e-16f},
        {-64, 292.5f, 365.0f, -10.0f, -6.123234e-16f},
    };
    for (const Firing& f : table) {
        ShellList list;
        list.fire(f.angle);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(only(list).x, f.x) << "angle " << f.angle;
        EXPECT_EQ(only(list).y, f.y) << "angle " << f.angle;
        EXPECT_EQ(only(list).vx, f.vx) << "angle " << f.angle;
        EXPECT_EQ(only(list).vy, f.vy) << "angle " << f.angle;
    }
}

TEST(ShellFire, NewShellsAppendAndMoveTenPixels)
{
    ShellList list;
    list.fire(0);
    list.fire(64);
    list.update();
    EXPECT_EQ(list.items().front().x, 320.0f);
    EXPECT_EQ(list.items().front().y, 327.5f);
    EXPECT_EQ(list.items().back().x, 357.5f);
}

TEST(ShellUpdate, EdgesAreKeptAndCrossingRemoves)
{
    ShellList list;
    list.place({630.0f, 100.0f, 10.0f, 0.0f});  // reaches x 640
    list.place({10.0f, 100.0f, -10.0f, 0.0f});  // reaches x 0
    list.place({100.0f, 10.0f, 0.0f, -10.0f});  // reaches y 0
    list.update();
    ASSERT_EQ(list.size(), 3u);
    list.update();
    EXPECT_EQ(list.size(), 0u);
}

TEST(ShellUpdate, LevelShellLeavesAfterThirtyUpdates)
{
    ShellList list;
    list.fire(64);
    for (int i = 0; i < 29; ++i)
        list.update();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(only(list).y, 365.0f);
    list.update();
    EXPECT_EQ(list.size(), 0u);
}

TEST(ShellUpdate, AdjacentRemovalsSkipNothing)
{
    ShellList list;
    list.place({1.0f, 50.0f, -5.0f, 0.0f});
    list.place({639.0f, 50.0f, 5.0f, 0.0f});
    list.place({50.0f, 1.0f, 0.0f, -5.0f});
    list.place({300.0f, 200.0f, 1.0f, -1.0f});
    list.place({2.0f, 50.0f, -5.0f, 0.0f});
    list.update();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(only(list).x, 301.0f);
    EXPECT_EQ(only(list).y, 199.0f);
}

TEST(ShellHitTest, ConsumesOldestOnePerCall)
{
    ShellList list;
    EXPECT_EQ(list.hitTest(0, 0, 640, 480), -1);
    list.place({10.0f, 10.0f, 1.0f, 0.0f});
    list.place({12.0f, 12.0f, 2.0f, 0.0f});
    list.place({200.0f, 200.0f, 3.0f, 0.0f});
    EXPECT_EQ(list.hitTest(100, 100, 5, 5), -1);
    EXPECT_EQ(list.size(), 3u);
    EXPECT_EQ(list.hitTest(0, 0, 20, 20), 1);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.items().front().vx, 2.0f);
    EXPECT_EQ(list.hitTest(0, 0, 20, 20), 1);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(only(list).vx, 3.0f);
}

TEST(ShellHitTest, AllEdgesAreInclusive)
{
    ShellList list;
    list.place({126.0f, 116.0f, 0.0f, 0.0f});  // bottom-right corner
    list.place({100.0f, 100.0f, 0.0f, 0.0f});  // top-left corner
    EXPECT_EQ(list.hitTest(100, 100, 26, 16), 1);
    EXPECT_EQ(list.hitTest(100, 100, 26, 16), 1);
    list.place({126.5f, 116.0f, 0.0f, 0.0f});
    list.place({126.0f, 116.5f, 0.0f, 0.0f});
    list.place({99.5f, 100.0f, 0.0f, 0.0f});
    EXPECT_EQ(list.hitTest(100, 100, 26, 16), -1);
    EXPECT_EQ(list.size(), 3u);
}

TEST(ShellDraw, OrangeDiscAtTruncatedCentre)
{
    PALETTE pal;
    for (int i = 0; i < PAL_SIZE; ++i)
        pal[i] = RGB{63, 63, 63, 0};
    pal[0] = RGB{0, 0, 0, 0};
    pal[5] = RGB{51, 26, 0, 0};
    RGB_MAP* savedMap = rgb_map;
    rgb_map = nullptr;
    select_palette(pal);

    BITMAP* bmp = create_bitmap(40, 40);
    ASSERT_NE(bmp, nullptr);
    clear_bitmap(bmp);
    ShellList list;
    list.place({12.9f, 7.99f, 0.0f, 0.0f});
    list.draw(bmp);
    EXPECT_EQ(getpixel(bmp, 12, 7), 5);
    EXPECT_EQ(getpixel(bmp, 10, 7), 5);
    EXPECT_EQ(getpixel(bmp, 15, 7), 0);
    EXPECT_EQ(getpixel(bmp, 12, 10), 0);
    destroy_bitmap(bmp);

    unselect_palette();
    rgb_map = savedMap;
}
