#include <allegro.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "res/resources.h"
#include "world/trooper_squad.h"

namespace {

Trooper descending(int x, int y)
{
    return {x, y, Descending, 0.0f, 0.5f, 0};
}

Shell still(float x, float y)
{
    return {x, y, 0.0f, 0.0f};
}

const Trooper& first(const TrooperSquad& squad)
{
    return squad.members().front();
}

} // namespace

TEST(TrooperSpawn, StartsAboveTheSkyAtRandomColumn)
{
    std::srand(1234);
    const int expectedX = std::rand() % 630;
    std::srand(1234);
    TrooperSquad squad;
    squad.spawn();
    ASSERT_EQ(squad.members().size(), 1u);
    const Trooper& t = first(squad);
    EXPECT_EQ(t.x, expectedX);
    EXPECT_EQ(t.y, -40);
    EXPECT_EQ(t.state, Descending);
    EXPECT_EQ(t.sway, -15.0f);
    EXPECT_EQ(t.swayStep, 0.5f);
    EXPECT_EQ(t.frame, 0);
    EXPECT_EQ(squad.alive(), 1);
}

TEST(TrooperLifecycle, SwayTurnsFirstAfter61AndLandsOn458th)
{
    TrooperSquad squad;
    ShellList none;
    squad.spawn();
    for (int i = 0; i < 60; ++i)
        squad.update(none);
    EXPECT_EQ(first(squad).swayStep, 0.5f);
    squad.update(none);
    EXPECT_EQ(first(squad).sway, 15.5f);
    EXPECT_EQ(first(squad).swayStep, -0.5f);
    for (int i = 61; i < 457; ++i)
        squad.update(none);
    EXPECT_EQ(first(squad).state, Descending);
    EXPECT_EQ(first(squad).y, 417);
    EXPECT_EQ(squad.takeLanding(), 0);
    squad.update(none);
    EXPECT_EQ(first(squad).state, Landed);
    EXPECT_EQ(first(squad).y, 418);
    EXPECT_EQ(squad.landed(), 1);
    EXPECT_EQ(squad.alive(), 1);
    EXPECT_EQ(squad.takeLanding(), 1);
    EXPECT_EQ(squad.takeLanding(), 0);
}

TEST(TrooperSway, PassesFifteenAndTurnsAtFifteenAndAHalf)
{
    for (float sign : {1.0f, -1.0f}) {
        TrooperSquad squad;
        ShellList none;
        squad.place({0, 0, Descending, 14.5f * sign, 0.5f * sign, 0});
        squad.update(none);
        EXPECT_EQ(first(squad).sway, 15.0f * sign);
        EXPECT_EQ(first(squad).swayStep, 0.5f * sign);
        squad.update(none);
        EXPECT_EQ(first(squad).sway, 15.5f * sign);
        EXPECT_EQ(first(squad).swayStep, -0.5f * sign);
    }
}

TEST(TrooperHit, SharedLineHitsParachuteAndBodyShellFliesOn)
{
    TrooperSquad squad;
    ShellList shells;
    squad.place(descending(100, 100));
    shells.place(still(110.0f, 130.0f));  // body box, older
    shells.place(still(126.0f, 117.0f));  // line y + 16 after the step down
    squad.update(shells);
    EXPECT_EQ(first(squad).state, Falling);
    EXPECT_EQ(first(squad).y, 108);
    EXPECT_EQ(first(squad).frame, 1);
    ASSERT_EQ(shells.size(), 1u);
    EXPECT_EQ(shells.items().front().y, 130.0f);
    EXPECT_EQ(squad.alive(), 0);
    EXPECT_EQ(squad.takeKills(), 1);
    EXPECT_EQ(squad.takeKills(), 0);
    EXPECT_EQ(squad.takeChuteHit(), 1);
    EXPECT_EQ(squad.takeBodyHit(), 0);
}

TEST(TrooperHit, ChuteHitInLandingStepFallsOffScreen)
{
    TrooperSquad squad;
    ShellList shells;
    squad.place(descending(50, 417));
    shells.place(still(60.0f, 420.0f));
    squad.update(shells);
    EXPECT_EQ(squad.landed(), 1);
    EXPECT_EQ(squad.takeLanding(), 1);
    EXPECT_EQ(squad.takeKills(), 1);
    EXPECT_EQ(squad.takeChuteHit(), 1);
    EXPECT_EQ(squad.alive(), 0);
    EXPECT_EQ(first(squad).state, Falling);
    EXPECT_EQ(first(squad).y, 425);
    for (int i = 0; i < 7; ++i)
        squad.update(shells);
    ASSERT_EQ(squad.members().size(), 1u);
    EXPECT_EQ(first(squad).y, 474);
    squad.update(shells);
    EXPECT_TRUE(squad.members().empty());
    EXPECT_EQ(squad.landed(), 1);
}

TEST(TrooperHit, BodyHitInLandingStepRemovesAtOnce)
{
    TrooperSquad squad;
    ShellList shells;
    squad.place(descending(50, 417));
    shells.place(still(60.0f, 440.0f));
    squad.update(shells);
    EXPECT_TRUE(squad.members().empty());
    EXPECT_EQ(squad.landed(), 1);
    EXPECT_EQ(squad.alive(), 0);
    EXPECT_EQ(squad.takeKills(), 1);
    EXPECT_EQ(squad.takeBodyHit(), 1);
    EXPECT_EQ(squad.takeChuteHit(), 0);
}

TEST(TrooperHit, LandedAndFallingTroopersAreNotTested)
{
    TrooperSquad squad;
    ShellList shells;
    squad.place({50, 418, Landed, 0.0f, 0.5f, 0});
    squad.place({200, 100, Falling, 0.0f, 0.5f, 5});
    shells.place(still(60.0f, 420.0f));
    shells.place(still(210.0f, 110.0f));
    squad.update(shells);
    EXPECT_EQ(shells.size(), 2u);
    EXPECT_EQ(first(squad).y, 418);
    EXPECT_EQ(squad.members().back().y, 107);
    EXPECT_EQ(squad.members().back().frame, 6);
    EXPECT_EQ(squad.alive(), 1);
    EXPECT_EQ(squad.takeKills(), 0);
}

TEST(TrooperHit, EarlierSpawnClaimsTheSharedShell)
{
    TrooperSquad squad;
    ShellList shells;
    squad.place(descending(100, 100));
    squad.place(descending(110, 100));
    shells.place(still(115.0f, 105.0f));
    squad.update(shells);
    EXPECT_EQ(first(squad).state, Falling);
    EXPECT_EQ(squad.members().back().state, Descending);
    EXPECT_EQ(squad.alive(), 1);
}

TEST(TrooperCounters, BodyHitsCountLandedStayAliveAndClearResets)
{
    TrooperSquad squad;
    ShellList shells;
    for (int i = 0; i < 4; ++i)
        squad.place({i * 40, 418, Landed, 0.0f, 0.5f, 0});
    for (int i = 0; i < 3; ++i) {
        squad.place(descending(300 + i * 100, 200));
        shells.place(still(310.0f + i * 100, 230.0f));
    }
    squad.place(descending(600, 50));
    squad.update(shells);
    EXPECT_EQ(squad.members().size(), 5u);
    EXPECT_EQ(squad.alive(), 5);
    EXPECT_EQ(squad.takeKills(), 3);
    EXPECT_EQ(squad.takeBodyHit(), 1);
    EXPECT_EQ(squad.takeBodyHit(), 0);

    squad.place({0, 0, Falling, 0.0f, 0.5f, 0});
    EXPECT_EQ(squad.alive(), 5);
    shells.place(still(605.0f, 60.0f));
    squad.update(shells);
    squad.clear();  // the pending kill and flag survive the clear
    EXPECT_TRUE(squad.members().empty());
    EXPECT_EQ(squad.alive(), 0);
    EXPECT_EQ(squad.landed(), 0);
    EXPECT_EQ(squad.takeKills(), 1);
    EXPECT_EQ(squad.takeChuteHit(), 1);

    TrooperSquad empty;
    empty.clear();
    EXPECT_EQ(empty.alive(), 0);
    EXPECT_EQ(empty.landed(), 0);
}

TEST(TrooperDraw, PicksSpriteByStateAndFrame)
{
    std::array<BITMAP*, 3> sprites{};
    std::array<DATAFILE, RES_COUNT + 1> data{};
    const int ids[3] = {RES_TROOPER, RES_TROOPER_FALL_A, RES_TROOPER_FALL_B};
    for (int i = 0; i < 3; ++i) {
        sprites[i] = create_bitmap(8, 8);
        ASSERT_NE(sprites[i], nullptr);
        clear_to_color(sprites[i], i + 1);
        data[ids[i]].dat = sprites[i];
        data[ids[i]].type = DAT_BITMAP;
    }
    data[RES_COUNT].type = DAT_END;

    BITMAP* frame = create_bitmap(200, 60);
    ASSERT_NE(frame, nullptr);
    clear_bitmap(frame);
    TrooperSquad squad;
    squad.place({10, 20, Descending, -0.5f, 0.5f, 0});
    squad.place({50, 20, Falling, 0.0f, 0.5f, 5});
    squad.place({90, 20, Falling, 0.0f, 0.5f, 6});
    squad.place({130, 20, Landed, 0.0f, 0.5f, 0});
    squad.draw(frame, data.data());

    EXPECT_EQ(getpixel(frame, 14, 24), 1);
    EXPECT_EQ(getpixel(frame, 50, 20), 2);
    EXPECT_EQ(getpixel(frame, 49, 19), 0);
    EXPECT_EQ(getpixel(frame, 90, 20), 3);
    EXPECT_EQ(getpixel(frame, 130, 20), 2);
    EXPECT_EQ(getpixel(frame, 137, 27), 2);
    EXPECT_EQ(getpixel(frame, 138, 28), 0);

    destroy_bitmap(frame);
    for (BITMAP* s : sprites)
        destroy_bitmap(s);
}
