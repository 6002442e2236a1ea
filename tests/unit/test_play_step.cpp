// Scripted logic steps: keys held per step and a seeded rand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/timer.h"
#include "game_fixture.h"

namespace {

constexpr PlayKeys NONE{false, false, false};
constexpr PlayKeys LEFT{true, false, false};
constexpr PlayKeys RIGHT{false, true, false};
constexpr PlayKeys BOTH{true, true, false};
constexpr PlayKeys FIRE{false, false, true};

// Steps (1-based) on which a shell left while SPACE was held for n steps.
std::vector<int> firingSteps(Game& game, int steps)
{
    std::vector<int> fired;
    for (int step = 1; step <= steps; ++step)
        if (game.logicStep(FIRE) & CUE_SHOT)
            fired.push_back(step);
    return fired;
}

} // namespace

TEST_F(GameTest, StartingAGameResetsGunScoreReloadAndTicks)
{
    game->gunAngle = 40;
    game->score = 77;
    game->reloadCountdown = 3;
    logicTicks.store(500);
    game->startGame();
    EXPECT_EQ(game->gunAngle, 0);
    EXPECT_EQ(game->score, 0);
    EXPECT_EQ(game->reloadCountdown, 0);
    EXPECT_EQ(logicTicks.load(), 0);
}

TEST_F(GameTest, GunTurnsTwoPerStepWithinAQuarterTurn)
{
    game->startGame();
    for (int i = 0; i < 31; ++i)
        game->logicStep(LEFT);
    EXPECT_EQ(game->gunAngle, -62);
    game->logicStep(LEFT);
    EXPECT_EQ(game->gunAngle, -64);
    game->logicStep(LEFT);
    EXPECT_EQ(game->gunAngle, -64);
    // Both held at the left stop: right wins once, then they cancel.
    game->logicStep(BOTH);
    EXPECT_EQ(game->gunAngle, -62);
    game->logicStep(BOTH);
    EXPECT_EQ(game->gunAngle, -62);
    for (int i = 0; i < 100; ++i)
        game->logicStep(RIGHT);
    EXPECT_EQ(game->gunAngle, 64);
    game->logicStep(BOTH);
    EXPECT_EQ(game->gunAngle, 64);
}

TEST_F(GameTest, HeldSpaceFiresEveryReloadPlusOneSteps)
{
    const std::vector<int> normal{1, 12, 23, 34};
    const std::vector<int> easy{1, 6, 11, 16, 21, 26, 31};
    const std::vector<int> fun{1, 2, 3, 4, 5, 6, 7, 8};
    game->startGame();
    EXPECT_EQ(firingSteps(*game, 34), normal);
    for (auto [index, want] : {std::pair{0, easy}, std::pair{3, fun}}) {
        game->presetIndex = index;
        game->applyPreset();
        game->shells.clear();
        game->startGame();
        EXPECT_EQ(firingSteps(*game, static_cast<int>(want.back())), want);
    }
}

TEST_F(GameTest, ReleasedSpaceDuringReloadIsForgotten)
{
    game->startGame();
    EXPECT_TRUE(game->logicStep(FIRE) & CUE_SHOT);
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(game->logicStep(FIRE) & CUE_SHOT);
    for (int i = 0; i < 5; ++i)
        game->logicStep(NONE);
    EXPECT_EQ(game->reloadCountdown, 0);
    EXPECT_EQ(game->shells.size(), 1u);
    // The shell left on step 1 after being moved once in that step.
    EXPECT_FLOAT_EQ(game->shells.items().front().y, 337.5f - 10.0f * 11);
}

TEST_F(GameTest, RandIsDrawnOnceEveryStepEvenAtTheLimit)
{
    game->startGame();
    for (int i = 0; i < 15; ++i)
        game->squad.place({i * 30, 100, Landed, 0.0f, 0.5f, 0});
    ASSERT_EQ(game->squad.alive(), game->maxAlive);
    std::srand(5);
    std::rand();
    std::rand();
    const int third = std::rand();
    std::srand(5);
    game->logicStep(NONE);
    game->logicStep(NONE);
    EXPECT_EQ(std::rand(), third);
    EXPECT_EQ(game->squad.members().size(), 15u);
}

TEST_F(GameTest, SpawnsWhenTheRollDividesAndRoomRemains)
{
    game->startGame();
    game->spawnOdds = 1; // every roll divides
    game->maxAlive = 2;
    for (int i = 0; i < 5; ++i)
        game->logicStep(NONE);
    EXPECT_EQ(game->squad.alive(), 2);
}

TEST_F(GameTest, KillsScorePresetPointsAndEachFlagSoundsOncePerStep)
{
    game->presetIndex = 2; // Impossible: 30 a kill
    game->applyPreset();
    game->startGame();
    game->maxAlive = 0; // no spawns to disturb the scene
    // Two parachutes and one body hit in one step.
    game->squad.place({100, 100, Descending, 0.0f, 0.5f, 0});
    game->squad.place({200, 100, Descending, 0.0f, 0.5f, 0});
    game->squad.place({300, 100, Descending, 0.0f, 0.5f, 0});
    game->shells.place({110, 105, 0, 0});
    game->shells.place({210, 105, 0, 0});
    game->shells.place({310, 130, 0, 0});
    const unsigned cues = game->logicStep(NONE);
    EXPECT_EQ(game->score, 90);
    EXPECT_EQ(cues, CUE_CHUTE_HIT | CUE_BODY_HIT);
    EXPECT_EQ(game->squad.alive(), 0);
    // The flags were taken: a quiet step plays nothing and scores nothing.
    EXPECT_EQ(game->logicStep(NONE), 0u);
    EXPECT_EQ(game->score, 90);
}

TEST_F(GameTest, LandingSoundsOnceAndCountsTowardsTheLimit)
{
    game->startGame();
    game->maxAlive = 0;
    game->squad.place({10, 417, Descending, 0.0f, 0.5f, 0});
    game->squad.place({60, 417, Descending, 0.0f, 0.5f, 0});
    EXPECT_EQ(game->logicStep(NONE), static_cast<unsigned>(CUE_LANDING));
    EXPECT_EQ(game->squad.landed(), 2);
    EXPECT_EQ(game->score, 0);
}
