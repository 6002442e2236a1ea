// Logic steps with scripted keys, and whole frames of the play loop through the seam.
#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>
#include <vector>

#include "app/timer.h"
#include "game_fixture.h"

namespace {
constexpr PlayKeys NONE{false, false, false}, FIRE{false, false, true};
} // namespace

TEST_F(GameTest, HeldSpaceFiresOnceEveryReloadPlusOneSteps)
{
    struct Preset { int index, volume; std::vector<int> shots; }; // index -1: the session as it starts
    for (const Preset& p : {Preset{-1, 5, {1, 12, 23}}, Preset{3, 0, {1, 2, 3}}}) { // Fun, silent
        game->presetIndex = p.index < 0 ? game->presetIndex : p.index;
        game->applyPreset();
        game->volume = p.volume;
        game->maxAlive = 0;
        game->startGame();
        game->shells.clear();
        seam::cues.clear();
        std::vector<int> shots;
        for (int step = 1; step <= p.shots.back(); ++step)
            if (game->logicStep(FIRE) & CUE_SHOT)
                shots.push_back(step);
        EXPECT_EQ(shots, p.shots) << p.index;
        EXPECT_EQ(std::tuple(seam::cues.size(), game->shells.size()), std::tuple(p.volume ? shots.size() : 0, shots.size()));
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
    game->volume = 10;
    for (int x : {100, 200, 300})
        game->squad.place({x, 100, Descending, 0.0f, 0.5f, 0});
    for (int x : {400, 500})
        game->squad.place({x, 417, Descending, 0.0f, 0.5f, 0}); // both land
    // Two parachutes, one that a shell reaches only by moving before the troopers do, and a body.
    for (Shell shell : {Shell{110, 105, 0, 0}, {210, 150, 0, -40}, {310, 130, 0, 0}})
        game->shells.place(shell);
    const unsigned cues = game->logicStep(NONE);
    EXPECT_EQ(cues, unsigned(CUE_CHUTE_HIT | CUE_LANDING | CUE_BODY_HIT));
    EXPECT_EQ(cues & CUE_SHOT, 0u);
    EXPECT_EQ(std::tuple(game->score, game->squad.landed()), std::tuple(90, 2));
    std::vector<std::tuple<const SAMPLE*, int, int, int, int>> played; // once each, centred, at 250
    for (const seam::Cue& c : seam::cues)
        played.emplace_back(c.sample, c.volume, c.pan, c.frequency, c.loop);
    auto cue = [&](int index) { return std::tuple(static_cast<const SAMPLE*>(fake.sample(index)), 250, 128, 1000, 0); };
    EXPECT_EQ(played, (std::vector{cue(RES_SND_CHUTE_HIT), cue(RES_SND_LANDING), cue(RES_SND_BODY_HIT)}));
    EXPECT_EQ(game->logicStep(NONE), 0u); // the events were taken
    EXPECT_EQ(game->score, 90);
}

// Each frame runs the ticks counted before it, ESC first; a game leaves its score and angle and
// an empty field, and a qualifying score takes a name first. The next game starts upright from
// nothing, with the ticks counted meanwhile dropped and the gun ready to fire.
TEST_F(GameTest, TwoGamesInARow)
{
    game->maxAlive = 0;
    game->pointsPerKill = 200; // the last place of the default table
    game->squad.place({300, 100, Descending, 0.0f, 0.5f, 0});
    game->shells.place({310, 130, 0, 0}); // a body hit on the first step
    logicTicks = 1000;
    key[KEY_LEFT] = 1;
    key[KEY_SPACE] = 1;
    std::vector<int> seen; // angle, score and shells after the first two frames of each game
    seam::onFrame = [&](int frame) {
        if (frame <= 2)
            seen.insert(seen.end(), {game->gunAngle, game->score, static_cast<int>(game->shells.size())});
        logicTicks = 2;
        key[KEY_ESC] = frame == 2;
        for (int k : {KEY_A << 8 | 'A', KEY_ENTER << 8 | 13})
            if (frame == 3) // the name entry's first frame
                seam::type(k);
    };
    game->play();
    EXPECT_EQ(std::tuple(game->gunAngle, game->score, std::string(game->highScores.name(4)), game->shells.size(),
                         game->squad.members().size()), std::tuple(-4, 200, std::string("A"), 0u, 0u));
    seam::frames = 0;
    game->play();
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 1, -4, 200, 1, 0, 0, 0, -4, 0, 1}));
}

// Five landing on one step end a Normal game before that frame is shown: its cue, then 49 banner
// frames over the frozen scene, against pictures drawn from its poses (the first a quarter turned
// at a quarter size, its corner at (276, 194), the last upright at full size at (144, 173)).
// Only a key pressed after them ends the wait.
TEST_F(GameTest, GameEndsAtTheLimitWithItsCueAndTheTurningBanner)
{
    for (int i = 0; i < 5; ++i)
        game->squad.place({i * 40, 417, Descending, 0.0f, 0.5f, 0});
    game->maxAlive = 0;
    game->score = 4321;
    BITMAP* expected = create_bitmap(640, 480);
    auto shows = [&](int x, int y, int s) { // the last frame shown, with the banner at step s
        game->drawScene(expected);
        game->drawScoreLine(expected);
        rotate_scaled_sprite(expected, static_cast<BITMAP*>(fake.data()[RES_GAME_OVER].dat), x, y, itofix(s),
                             ftofix(s / 256.0));
        return samePicture(screen, expected);
    };
    std::vector<bool> pictures;
    seam::onFrame = [&](int frame) { // one frame of play, then the banner's
        logicTicks = frame == 1;
        if (frame == 3)
            pictures.push_back(shows(276, 194, 64));
        if (frame == 10) // a key pressed while the banner turns
            seam::type(KEY_A << 8 | 'a');
    };
    seam::onRest = [&](int rest) {
        if (rest == 1)
            pictures.push_back(shows(144, 173, 256));
        if (rest == 3)
            seam::type(KEY_ENTER << 8 | 13);
    };
    game->play();
    EXPECT_EQ(pictures, std::vector<bool>(2, true));
    EXPECT_EQ(std::tuple(seam::frames, seam::rests, keypressed()), std::tuple(1 + 49, 3, 0));
    EXPECT_EQ(std::tuple(seam::cues.back().sample, seam::cues.back().frame),
              std::tuple(static_cast<const SAMPLE*>(fake.sample(RES_SND_GAME_OVER)), 1));
    destroy_bitmap(expected);
}

// P held into the game pauses it once. Paused frames run no steps and show "Paused" centred;
// the frame that resumes runs none either.
TEST_F(GameTest, PausedGameRunsNoStepsShowsPausedAndResumesWithoutABurst)
{
    key[KEY_P] = 1;
    key[KEY_RIGHT] = 1;
    BITMAP* expected = create_bitmap(640, 480);
    auto shows = [&](bool paused) { // the last frame shown, as the game stands
        game->drawScene(expected);
        game->drawScoreLine(expected);
        if (paused)
            textout_centre_ex(expected, font, "Paused", 320, (480 - text_height(font)) / 2, -1, -1);
        return samePicture(screen, expected);
    };
    std::vector<int> angles;
    seam::onFrame = [&](int frame) {
        angles.push_back(game->gunAngle);
        if (frame == 2 || frame == 5) {
            EXPECT_TRUE(shows(frame == 2)) << frame;
        }
        logicTicks += frame == 4 ? 0 : 3; // ticks a paused frame kept would burst out on resuming
        key[KEY_P] = frame == 1 || frame == 3;
        key[KEY_ESC] = frame == 6;
    };
    game->play();
    EXPECT_EQ(angles, (std::vector<int>{0, 0, 0, 0, 0, 6}));
    destroy_bitmap(expected);
}
