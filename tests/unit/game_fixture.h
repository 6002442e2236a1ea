#pragma once

// The window-less seam: the unit-test program stands in for the retrace, the waits' pauses, the key
// buffer, the sound and the bitmaps' memory, so a test scripts each frame and reads what was played.
#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "platform/gamepad.h"
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
extern std::vector<int> modes;           // the widths of the windows asked for, on a 1920x1080 desktop
// Forgets cues, counts, hooks, held keys and buttons, the modes asked for and buffered keys.
void reset();
// Puts one readkey value (scancode << 8 | character) into the key buffer.
void type(int keyValue);
} // namespace seam

// True when two 640x480 memory bitmaps, whose rows lie end to end, agree on every pixel.
inline bool samePicture(BITMAP* a, BITMAP* b)
{
    return std::memcmp(a->dat, b->dat, 640 * 480) == 0;
}

// The smallest box round the pixels of one colour within (x0, y0)..(x1, y1) of a picture; all -1 for none.
struct Box { int left = -1, top = -1, right = -1, bottom = -1; bool operator==(const Box&) const = default; };
inline Box boxOf(BITMAP* b, int colour, int x0, int y0, int x1, int y1)
{
    Box box;
    for (int i = 0, w = x1 - x0 + 1; i < w * (y1 - y0 + 1); ++i) // row by row
        if (const int x = x0 + i % w, y = y0 + i / w; getpixel(b, x, y) == colour)
            box = box.top < 0 ? Box{x, y, x, y} : Box{std::min(box.left, x), box.top, std::max(box.right, x), y};
    return box;
}

// True when a picture shows text in the built-in font and a colour (-1 draws 255) with its top left at
// (x, y): the pixels of its cells are that colour exactly where the text alone lights them.
inline bool reads(BITMAP* picture, int x, int y, const std::string& text, int colour = 255)
{
    BITMAP* alone = create_bitmap(text_length(font, text.c_str()), text_height(font));
    clear_to_color(alone, colour ^ 1);
    textout_ex(alone, font, text.c_str(), 0, 0, colour, -1);
    int differ = 0;
    for (int i = 0, w = alone->w; i < w * alone->h; ++i)
        differ += (alone->line[i / w][i % w] == colour) != (getpixel(picture, x + i % w, y + i / w) == colour);
    return destroy_bitmap(alone), differ == 0;
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
