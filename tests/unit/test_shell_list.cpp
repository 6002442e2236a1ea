#include <tuple>
#include <utility>

#include "game_fixture.h"
#include "world/shell_list.h"

TEST(ShellList, FiresFromTheBarrelTipBitForBitAndDrawsDiscsOfRadiusTwo)
{
    struct Row { int angle; float x, y, vx, vy; };
    for (const Row& r : {Row{0, 320.0f, 337.5f, 0.0f, -10.0f},
                         Row{2, 321.349365234375f, 337.5331115722656f, 0.49067673087120056f, -9.987954139709473f}}) {
        ShellList list;
        list.fire(r.angle);
        const Shell& s = list.items().front();
        EXPECT_EQ((std::tuple{s.x, s.y, s.vx, s.vy}), (std::tuple{r.x, r.y, r.vx, r.vy})) << "angle " << r.angle;
    }
    ShellList list;
    list.place({20.9f, 10.9f, 0, 0}); // drawn where its centre truncates to
    BITMAP* drawn = create_bitmap(40, 20);
    clear_bitmap(drawn);
    list.draw(drawn);
    EXPECT_EQ(std::pair(boxOf(drawn, makecol(204, 104, 0), 0, 0, 39, 19), getpixel(drawn, 18, 8)), std::pair(Box{18, 8, 22, 12}, 0));
    destroy_bitmap(drawn);
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

TEST(ShellList, HitTestConsumesTheOldestShellInTheBoxAndSaysWhetherItFoundOne)
{
    ShellList list;
    list.place({5.0f, 5.0f, 1.0f, 0.0f}); // older, outside the box
    list.place({100.0f, 100.0f, 2.0f, 0.0f});
    list.place({100.0f, 100.0f, 3.0f, 0.0f});
    EXPECT_EQ(list.hitTest(90, 90, 20, 20), 1);
    EXPECT_EQ((std::tuple{list.items().back().vx, list.size(), list.hitTest(20, 20, 10, 10)}), (std::tuple{3.0f, 2u, -1}));
}
