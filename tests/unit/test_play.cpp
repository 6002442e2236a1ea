// Logic steps with scripted keys, and whole frames of the play loop through the seam.

#include <cstdlib>
#include <tuple>
#include <vector>

#include "app/timer.h"
#include "game/pause_rules.h"
#include "game_fixture.h"
#include "scores/table_file.h"

static constexpr PlayKeys NONE{false, false, false}, FIRE{false, false, true};

// SPACE fires on the first step, then every reloadTicks + 1; a step rolls once, and once more for a spawn.
TEST_F(GameTest, HeldSpaceFiresEveryReloadPlusOneStepsAndEachStepRollsOnce)
{
    struct Preset { int index, volume; std::vector<int> shots; }; // index -1: the session as it starts
    for (const Preset& p : {Preset{-1, 5, {1, 12, 23}}, Preset{3, 0, {1, 2, 3}}}) { // Fun, silent
        game->presetIndex = p.index < 0 ? game->presetIndex : p.index;
        game->applyPreset();
        game->volume = p.volume;
        game->spawnOdds = 1;
        game->maxAlive = 3;
        game->startGame();
        game->shells.clear();
        game->squad.clear();
        seam::cues.clear();
        std::srand(5);
        std::vector<int> shots;
        for (int step = 1; step <= p.shots.back(); ++step)
            if (game->logicStep(FIRE) & CUE_SHOT)
                shots.push_back(step);
        const int next = std::rand();
        std::srand(5);
        for (int i = 0; i < p.shots.back() + 3; ++i)
            std::rand();
        EXPECT_EQ(std::tuple(shots, seam::cues.size(), game->shells.size(), game->squad.alive(), next),
                  std::tuple(p.shots, p.volume ? shots.size() : 0, shots.size(), 3, std::rand())) << p.index;
    }
}

TEST_F(GameTest, KillsScoreThePresetsPointsAndEachEventSoundsOncePerStep)
{
    game->pointsPerKill = 30;
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
    EXPECT_EQ(std::tuple(cues, cues & CUE_SHOT, game->score, game->squad.landed()),
              std::tuple(unsigned(CUE_CHUTE_HIT | CUE_LANDING | CUE_BODY_HIT), 0u, 90, 2));
    auto cue = [&](int index) { return seam::Cue{fake.sample(index), 250, 128, 1000, 0, 0}; }; // centred, once each
    EXPECT_EQ(seam::cues, (std::vector{cue(RES_SND_CHUTE_HIT), cue(RES_SND_LANDING), cue(RES_SND_BODY_HIT)}));
    EXPECT_EQ(std::tuple(game->logicStep(NONE), game->score), std::tuple(0u, 90)) << "the events were taken";
}

// Each frame runs the ticks counted before it, ESC first; a game leaves its score, its angle, an empty
// field and, for a score that earns a place in the table on disk, a name. The next starts afresh, ticks
// dropped and the gun ready.
TEST_F(GameTest, TwoGamesInARow)
{
    game->maxAlive = 0;
    game->pointsPerKill = 200; // the last place of the default table
    for (int x : {100, 300})
        game->squad.place({x, 100, Descending, 0.0f, 0.5f, 0});
    game->shells.place({310, 130, 0, 0}); // a body hit on the second trooper, on the first step
    logicTicks = 1000;
    key[KEY_LEFT] = 1;
    key[KEY_SPACE] = 1, seam::pad.buttons = PAD_START; // the Start that chose Play does not pause
    std::vector<int> seen; // angle, score and shells after the first two frames of each game
    seam::onFrame = [&](int frame) {
        if (frame <= 2)
            seen.insert(seen.end(), {game->gunAngle, game->score, static_cast<int>(game->shells.size())});
        logicTicks = 2;
        key[KEY_ESC] = frame == 2;
        if (frame == 3) // the name entry's first frame
            seam::type(KEY_A << 8 | 'A'), seam::type(KEY_ENTER << 8 | 13);
    };
    game->play();
    EXPECT_EQ(std::tuple(game->gunAngle, game->score, std::string(game->highScores.name(4)), game->shells.size(),
                         game->squad.members().size()), std::tuple(-4, 200, std::string("A"), 0u, 0u));
    HighScoreTable zeros; // meanwhile another game saved a table where a score of 0 earns a place
    zeros.fillDefault("Other", 0, 0);
    writeTableFile("hiscores.hst", zeros.encode());
    seam::frames = 0;
    game->play();
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 1, -4, 200, 1, 0, 0, 0, -4, 0, 1}));
    EXPECT_EQ(std::pair(std::string(game->highScores.name(0)), std::string(game->highScores.name(1))),
              std::pair(std::string("A"), std::string("Other"))) << "the score weighed against the table on disk";
}

// Five landings end a Normal game before the frame is shown: its cue, then 49 frames of the banner turning
// and growing over the frozen scene. Only a key pressed after them ends the wait.
TEST_F(GameTest, GameEndsAtTheLimitWithItsCueAndTheTurningBanner)
{
    for (int i = 0; i < 5; ++i)
        game->squad.place({i * 40, 417, Descending, 0.0f, 0.5f, 0});
    game->maxAlive = 0;
    game->score = 4321, seam::pad.buttons = PAD_A; // fire held as the game ends does not end the wait
    auto banner = [&](int x, int y, int s) {
        return [=, this](BITMAP* b) { rotate_scaled_sprite(b, fake.bitmap(RES_GAME_OVER), x, y, itofix(s), ftofix(s / 256.0)); };
    };
    std::vector<bool> pictures;
    seam::onFrame = [&](int frame) { // one frame of play, then the banner's
        logicTicks = frame == 1;
        if (frame == 3)
            pictures.push_back(screenShowsScene(banner(276, 194, 64)));
        if (frame == 10) // a key pressed while the banner turns
            seam::type(KEY_A << 8 | 'a');
    };
    seam::onRest = [&](int rest) {
        if (rest == 1)
            pictures.push_back(screenShowsScene(banner(144, 173, 256)));
        if (rest == 3)
            seam::type(KEY_ENTER << 8 | 13);
    };
    game->play();
    EXPECT_EQ(std::tuple(pictures, seam::frames, seam::rests, keypressed(), seam::cues.back()),
              std::tuple(std::vector<bool>(2, true), 1 + 49, 3, 0, seam::Cue{fake.sample(RES_SND_GAME_OVER), 125, 128, 1000, 0, 1}));
}

// P held into a game pauses it once; paused frames, and the one that resumes, run no steps; ESC ends a paused game.
TEST_F(GameTest, PausedGameRunsNoStepsShowsPausedAndResumesWithoutABurst)
{
    key[KEY_P] = 1;
    key[KEY_RIGHT] = 1;
    std::vector<int> angles, pictures;
    seam::onFrame = [&](int frame) {
        angles.push_back(game->gunAngle);
        if (frame == 2 || frame == 5) // paused, then resumed
            pictures.push_back(screenShowsScene([frame](BITMAP* b) {
                if (frame == 2)
                    textout_centre_ex(b, font, "Paused", 320, (480 - text_height(font)) / 2, -1, -1);
            }));
        logicTicks += frame == 4 ? 0 : 3; // ticks a paused frame kept would burst out on resuming
        key[KEY_P] = frame == 1 || frame == 3 || frame == 6;
        key[KEY_ESC] = frame == 7;
    };
    game->play();
    EXPECT_EQ(std::tuple(angles, pictures), std::tuple(std::vector<int>{0, 0, 0, 0, 0, 6, 6}, std::vector<int>{1, 1}));
}

// A lost focus pauses a running game and never resumes a paused one, P pressed on that frame or not.
TEST(PauseKeys, FocusLossPausesAndNeverResumes)
{
    for (bool paused : {false, true}) {
        PauseState state{paused, false};
        EXPECT_FALSE(applyPauseKeys(state, {paused, true}));
        EXPECT_TRUE(state.paused) << paused;
    }
}
