#pragma once

#include <cstdint>

#include "game/presets.h"

// The volume every run starts at, of 0 (off) to 10.
constexpr std::int32_t DEFAULT_VOLUME = 5;

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
    std::int32_t presetIndex = DEFAULT_PRESET;
    std::int32_t volume = DEFAULT_VOLUME;
};

// Applies one frame's keys: moves the cursor, edits preset or volume, and
// re-arms the guard. Returns true when ESC on Exit leaves the menu at once.
bool applyMenuKeys(MenuState& state, const MenuKeys& keys);
