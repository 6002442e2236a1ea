#pragma once

// The window-less seam: the unit-test program stands in for the retrace, the waits' pauses, the key
// buffer, the sound and the bitmaps' memory, so a test scripts each frame and reads what was played.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/gamepad.h"
#include "fake_resources.h"
#include "game/game.h"

namespace seam {
struct Cue { // one play_sample call, and the retraces waited for before it
    const SAMPLE* sample;
    int volume, pan, frequency, loop, frame;
    bool operator==(const Cue&) const = default;
};
extern std::vector<Cue> cues;
extern int frames, rests;                // retraces waited for, rest() calls
extern std::function<void(int)> onFrame, onRest; // at each retrace, before the frame is shown; at each rest()
extern bool noMemory;                    // create_bitmap gives null while set
extern PadState pad;                     // what the first pad holds
// Forgets cues, counts, hooks, held keys and buttons, and buffered keys.
void reset();
// Puts one readkey value (scancode << 8 | character) into the key buffer.
void type(int keyValue);
} // namespace seam

// True when two 640x480 memory bitmaps, whose rows lie end to end, agree on every pixel.
inline bool samePicture(BITMAP* a, BITMAP* b)
{
    return std::memcmp(a->dat, b->dat, 640 * 480) == 0;
}

// A Game on fake resources, a clean seam, and a fresh folder for its hiscores.hst.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        home = std::filesystem::current_path();
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        seam::reset();
        std::srand(42);
        game = std::make_unique<Game>(fake.data()), game->pad = &gamepad;
        frame = create_bitmap(640, 480), expected = create_bitmap(640, 480);
    }
    void TearDown() override
    {
        destroy_bitmap(frame), destroy_bitmap(expected);
        game->releaseBitmaps();
        game.reset();
        seam::reset();
        std::filesystem::current_path(home);
        std::filesystem::remove_all(dir);
    }

    // True when the screen holds the scene and the score line as the game now stands, over() on top.
    bool screenShowsScene(const std::function<void(BITMAP*)>& over)
    {
        game->drawScene(expected);
        game->drawScoreLine(expected);
        over(expected);
        return samePicture(screen, expected);
    }

    FakeResources fake;
    Gamepad gamepad;
    std::unique_ptr<Game> game;
    BITMAP *frame, *expected; // a frame for a test to draw, and the picture it should hold
    std::filesystem::path home, dir = ::testing::TempDir() + "vollix-game-" + std::to_string(getpid());
};
