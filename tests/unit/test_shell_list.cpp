#include <gtest/gtest.h>

#include "world/shell_list.h"

TEST(ShellList, FiresFromTheBarrelTipBitForBit)
{
    struct Row { int angle; float x, y, vx, vy; };
    for (const Row& r : {Row{0, 320.0f, 337.5f, 0.0f, -10.0f},
                         Row{2, 321.349365234375f, 337.5331115722656f, 0.49067673087120056f, -9.987954139709473f},
                         Row{32, 339.4454345703125f, 345.5545654296875f, 7.071067810058594f, -7.071067810058594f},
                         Row{64, 347.5f, 365.0f, 10.0f, -6.123234e-16f},
                         Row{-64, 292.5f, 365.0f, -10.0f, -6.123234e-16f}}) {
        ShellList list;
        list.fire(r.angle);
        const Shell& s = list.items().front();
        EXPECT_TRUE(s.x == r.x && s.y == r.y && s.vx == r.vx && s.vy == r.vy) << "angle " << r.angle;
    }
}

TEST(ShellList, StaysOnTheEdgesAndLeavesPastThemSkippingNothing)
{
    ShellList list;
    list.place({630.0f, 100.0f, 10.0f, 0.0f}); // reaches x 640
    list.place({10.0f, 100.0f, -10.0f, 0.0f}); // reaches x 0
    list.place({100.0f, 10.0f, 0.0f, -10.0f}); // reaches y 0
    list.place({300.0f, 200.0f, 1.0f, -1.0f});
    list.update();
    ASSERT_EQ(list.size(), 4u);
    list.update(); // three neighbours leave in one walk
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.items().front().x, 302.0f);
}

TEST(ShellList, HitTestTakesTheOldestShellInsideInclusiveEdges)
{
    ShellList list;
    EXPECT_EQ(list.hitTest(0, 0, 640, 480), -1);
    list.place({126.0f, 116.0f, 1.0f, 0.0f}); // bottom-right corner
    list.place({100.0f, 100.0f, 2.0f, 0.0f}); // top-left corner
    list.place({126.5f, 116.0f, 3.0f, 0.0f}); // just outside
    list.place({99.5f, 116.5f, 4.0f, 0.0f});  // just outside
    EXPECT_TRUE(list.hitTest(100, 100, 26, 16) == 1 && list.items().front().vx == 2.0f);
    EXPECT_TRUE(list.hitTest(100, 100, 26, 16) == 1 && list.hitTest(100, 100, 26, 16) == -1 && list.size() == 2u);
}
