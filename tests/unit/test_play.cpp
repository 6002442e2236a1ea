// Logic steps with scripted keys, and whole frames of the play loop through the seam.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/timer.h"
#include "game_fixture.h"

namespace {
constexpr PlayKeys NONE{false, false, false}, FIRE{false, false, true};
} // namespace

TEST_F(GameTest, HeldSpaceFiresOnceEveryReloadPlusOneStepsOnEachPreset)
{
    struct Preset { int index; const char* name; std::vector<int> shots; }; // index -1: the session as it starts
    for (const Preset& p : {Preset{-1, "Normal", {1, 12, 23}}, Preset{0, "Easy", {1, 6, 11}}, Preset{3, "Fun", {1, 2, 3}},
                            Preset{2, "Impossible", {1, 17, 33}}}) {
        game->presetIndex = p.index < 0 ? game->presetIndex : p.index;
        game->applyPreset();
        game->startGame();
        std::vector<int> shots;
        for (int step = 1; step <= p.shots.back(); ++step)
            if (game->logicStep(FIRE) & CUE_SHOT)
                shots.push_back(step);
        EXPECT_EQ(shots, p.shots) << p.name;
        EXPECT_STREQ(game->presetName, p.name);
    }
}

TEST_F(GameTest, RollsOnceEveryStepAndSpawnsOnlyBelowTheLimit)
{
    game->startGame();
    game->spawnOdds = 1; // every roll divides
    game->maxAlive = 3;
    std::srand(5);
    for (int i = 0; i < 5; ++i)
        game->logicStep(NONE);
    const int next = std::rand();
    std::srand(5);
    for (int i = 0; i < 5 + 3; ++i) // a roll a step, and a column for each of three spawns
        std::rand();
    EXPECT_EQ(next, std::rand());
    EXPECT_EQ(game->squad.alive(), 3);
}

TEST_F(GameTest, KillsScoreThePresetsPointsAndEachEventSoundsOncePerStep)
{
    game->presetIndex = 2; // Impossible: 30 a kill
    game->applyPreset();
    game->startGame();
    game->maxAlive = 0;
    for (int x : {100, 200, 300})
        game->squad.place({x, 100, Descending, 0.0f, 0.5f, 0});
    for (int x : {400, 500})
        game->squad.place({x, 417, Descending, 0.0f, 0.5f, 0}); // both land
    for (Shell shell : {Shell{110, 105, 0, 0}, {210, 105, 0, 0}, {310, 130, 0, 0}}) // two parachutes and a body
        game->shells.place(shell);
    EXPECT_EQ(game->logicStep(NONE), unsigned(CUE_CHUTE_HIT | CUE_LANDING | CUE_BODY_HIT));
    EXPECT_TRUE(game->score == 90 && game->squad.landed() == 2);
    std::vector<const SAMPLE*> played;
    for (const seam::Cue& cue : seam::cues)
        played.push_back(cue.sample);
    EXPECT_EQ(played, (std::vector<const SAMPLE*>{fake.sample(RES_SND_CHUTE_HIT), fake.sample(RES_SND_LANDING),
                                                  fake.sample(RES_SND_BODY_HIT)}));
    EXPECT_EQ(game->logicStep(NONE), 0u); // the events were taken
    EXPECT_EQ(game->score, 90);
}

TEST_F(GameTest, PlayRunsTheCountedTicksBeforeEachFrameAndEscapeBeforeTheSteps)
{
    game->squad.place({200, 100, Descending, 0.0f, 0.5f, 0});
    logicTicks = 1000; // counted while the menu ran: dropped when the game starts
    key[KEY_RIGHT] = 1;
    key[KEY_SPACE] = 1;
    std::vector<int> angles;
    seam::onFrame = [&](int frame) {
        angles.push_back(game->gunAngle);
        logicTicks = 2;
        key[KEY_ESC] = frame == 3; // these two ticks never run
    };
    game->play();
    EXPECT_EQ(angles, (std::vector<int>{0, 4, 8}));
    EXPECT_EQ(game->gunAngle, 8);
    EXPECT_TRUE(game->squad.members().empty() && game->shells.size() == 0) << "the field is emptied";
}

TEST_F(GameTest, GameEndsAtTheLimitWithItsCueBeforeTheBanner)
{
    for (int i = 0; i < 5; ++i) // all land on the first step, the Normal limit
        game->squad.place({i * 40, 417, Descending, 0.0f, 0.5f, 0});
    game->maxAlive = 0;
    seam::onFrame = [](int frame) {
        logicTicks = frame == 1 ? 1 : 0;
        key[KEY_ESC] = frame > 200;
    };
    seam::onRest = [](int) { seam::type(KEY_SPACE << 8 | ' '); };
    game->play();
    EXPECT_EQ(seam::frames, 1 + 49) << "one frame of play, then the banner";
    ASSERT_FALSE(seam::cues.empty());
    EXPECT_TRUE(seam::cues.back().sample == fake.sample(RES_SND_GAME_OVER) && seam::cues.back().frame == 1);
}

TEST_F(GameTest, PausedGameRunsNoStepsShowsPausedAndResumesWithoutABurst)
{
    key[KEY_RIGHT] = 1;
    std::vector<int> angles, centreInk;
    seam::onFrame = [&](int frame) {
        angles.push_back(game->gunAngle);
        int ink = 0; // the last frame shown, around the centre
        for (int y = 230; y < 250; ++y)
            for (int x = 290; x < 350; ++x)
                ink += getpixel(screen, x, y) != FAKE_SKY && getpixel(screen, x, y) != FAKE_WHITE;
        centreInk.push_back(ink);
        logicTicks += 3; // ticks a paused frame does not drop would burst out on resuming
        key[KEY_P] = frame == 1 || frame == 3; // pause, release, resume
        key[KEY_ESC] = frame == 5;
    };
    game->play();
    EXPECT_EQ(angles, (std::vector<int>{0, 0, 0, 0, 6}));
    EXPECT_TRUE(centreInk[2] > 0 && centreInk[3] > 0 && centreInk[4] == 0);
}
