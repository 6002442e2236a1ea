#pragma once

// The window-less seam: the unit-test program stands in for what the screen
// loops touch outside the game (the retrace, the pauses of the waits, the key
// buffer and the sound), so the loops run unchanged while a test scripts
// each frame and reads what was played. And a fixture with a Game on it.
#include <allegro.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "fake_resources.h"
#include "game/game.h"

namespace seam {
struct Cue { // one play_sample call, and the retraces waited for before it
    const SAMPLE* sample;
    int volume, pan, frequency, loop, frame;
};
extern std::vector<Cue> cues;
extern int frames, rests;                // retraces waited for, rest() calls
extern std::function<void(int)> onFrame; // at each retrace, before the frame is shown
extern std::function<void(int)> onRest;  // at each rest()
// Forgets cues, counts, hooks, held keys and buffered keys.
void reset();
// Puts one readkey value (scancode << 8 | character) into the key buffer.
void type(int keyValue);
} // namespace seam

// Each test runs in a fresh folder (the Game keeps hiscores.hst in the
// working directory), with a Game on fake resources and a clean seam.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        home = std::filesystem::current_path();
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        seam::reset();
        std::srand(42);
        game = std::make_unique<Game>(fake.data());
    }
    void TearDown() override
    {
        game->releaseBitmaps();
        game.reset();
        seam::reset();
        std::filesystem::current_path(home);
        std::filesystem::remove_all(dir);
    }

    FakeResources fake;
    std::unique_ptr<Game> game;
    std::filesystem::path home, dir = ::testing::TempDir() + "vollix-game-" + std::to_string(getpid());
};
