#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "world/trooper_squad.h"

namespace {
Trooper descending(int x, int y)
{
    return {x, y, Descending, 0.0f, 0.5f, 0};
}
const Trooper& first(const TrooperSquad& squad)
{
    return squad.members().front();
}
} // namespace

TEST(TrooperSquad, SpawnsAboveTheSkySwaysAndLandsOnStep458)
{
    std::srand(7);
    TrooperSquad squad;
    ShellList none;
    for (int i = 0; i < 300; ++i)
        squad.spawn();
    for (const Trooper& t : squad.members())
        ASSERT_TRUE(t.x >= 0 && t.x <= 629 && t.y == -40 && t.state == Descending && t.sway == -15.0f);
    for (int i = 0; i < 60; ++i)
        squad.update(none);
    EXPECT_EQ(first(squad).swayStep, 0.5f); // 15.0 passes, 15.5 turns
    squad.update(none);
    EXPECT_EQ(first(squad).swayStep, -0.5f);
    for (int i = 61; i < 457; ++i)
        squad.update(none);
    EXPECT_TRUE(first(squad).y == 417 && !squad.takeLanding());
    squad.update(none);
    EXPECT_TRUE(first(squad).state == Landed && first(squad).y == 418);
    EXPECT_TRUE(squad.landed() == 300 && squad.alive() == 300 && squad.takeLanding() == 1 && !squad.takeLanding());
    squad.place({0, 0, Descending, -14.5f, -0.5f, 0}); // the same turn on the left
    squad.update(none);
    squad.update(none);
    EXPECT_EQ(squad.members().back().swayStep, 0.5f);
}

TEST(TrooperSquad, ShellOnTheSharedLineHitsTheParachuteOfTheEarlierSpawn)
{
    TrooperSquad squad;
    ShellList shells;
    squad.place(descending(100, 100));
    squad.place(descending(120, 100)); // its parachute reaches the same shell
    shells.place({105.0f, 130.0f, 0, 0}); // the first one's body box, older
    shells.place({126.0f, 117.0f, 0, 0}); // the line y + 16 after the step down
    squad.update(shells);
    EXPECT_TRUE(first(squad).state == Falling && first(squad).y == 108);
    EXPECT_EQ(squad.members().back().state, Descending);
    ASSERT_EQ(shells.size(), 1u);
    EXPECT_TRUE(shells.items().front().y == 130.0f && squad.alive() == 1);
    EXPECT_TRUE(squad.takeKills() == 1 && squad.takeKills() == 0 && squad.takeChuteHit() && !squad.takeBodyHit());
}

TEST(TrooperSquad, HitsInTheLandingStepCountBothWays)
{
    TrooperSquad squad;
    ShellList shells;
    squad.place(descending(50, 417));
    squad.place(descending(300, 417));
    shells.place({60.0f, 420.0f, 0, 0});  // parachute
    shells.place({310.0f, 440.0f, 0, 0}); // body
    squad.update(shells);
    EXPECT_TRUE(squad.landed() == 2 && squad.alive() == 0 && squad.takeKills() == 2);
    EXPECT_TRUE(squad.takeChuteHit() && squad.takeBodyHit() && squad.takeLanding());
    ASSERT_EQ(squad.members().size(), 1u); // the body hit is gone at once
    EXPECT_TRUE(first(squad).state == Falling && first(squad).y == 425);
    for (int i = 0; i < 7; ++i)
        squad.update(shells);
    ASSERT_EQ(first(squad).y, 474);
    squad.update(shells);
    EXPECT_TRUE(squad.members().empty() && squad.landed() == 2);
}

TEST(TrooperSquad, CountsEveryBodyHitLetsLandedAndFallingBeAndClears)
{
    TrooperSquad squad;
    ShellList shells;
    squad.place({50, 418, Landed, 0.0f, 0.5f, 0});
    squad.place({200, 100, Falling, 0.0f, 0.5f, 5});
    shells.place({60.0f, 420.0f, 0, 0});
    shells.place({210.0f, 110.0f, 0, 0});
    for (int i = 0; i < 3; ++i) {
        squad.place(descending(300 + i * 100, 200));
        shells.place({310.0f + i * 100, 230.0f, 0, 0});
    }
    squad.update(shells);
    EXPECT_EQ(shells.size(), 2u) << "landed and falling troopers let shells pass";
    EXPECT_TRUE(squad.members().back().y == 107 && squad.members().back().frame == 6);
    EXPECT_EQ(squad.alive(), 1); // the landed one still counts
    EXPECT_TRUE(squad.takeKills() == 3 && squad.takeBodyHit() == 1 && squad.takeBodyHit() == 0);
    squad.clear();
    EXPECT_TRUE(squad.members().empty() && squad.alive() == 0 && squad.landed() == 0);
}
