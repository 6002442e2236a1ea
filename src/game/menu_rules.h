#pragma once

#include <cstdint>

enum class MenuItem : int {
    Play = 0,
    Preset = 1,
    Highscores = 2,
    Sound = 3,
    Exit = 4
};

// The guarded keys the menu reads each frame.
struct MenuKeys {
    bool down;
    bool up;
    bool esc;
    bool right;
    bool left;
};

// What one menu visit keeps from frame to frame, plus the two settings it edits.
struct MenuState {
    MenuItem item = MenuItem::Play;
    bool keyGuard = false;
    std::int32_t presetIndex = 1;
    std::int32_t volume = 5;
};

// Applies one frame's keys: moves the cursor, edits preset or volume, and
// re-arms the guard. Returns true when ESC on Exit leaves the menu at once.
bool applyMenuKeys(MenuState& state, const MenuKeys& keys);
