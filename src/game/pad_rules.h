#pragma once

#include <allegro.h>

#include "game/game.h"
#include "game/menu_rules.h"
#include "scores/name_entry.h"

// What the first gamepad holds in one frame: a direction from its left stick
// or its d-pad, and its buttons.
struct PadState {
    bool left = false;
    bool right = false;
    bool up = false;
    bool down = false;
    unsigned buttons = 0; // bit b: button b is held

    friend bool operator==(const PadState&, const PadState&) = default;
};

// The buttons of the common pad as Linux numbers them; a pad with fewer
// buttons has the first ones, so fire and choose stay on button 0.
constexpr unsigned PAD_A = 1u << 0;
constexpr unsigned PAD_BACK = 1u << 6;
constexpr unsigned PAD_START = 1u << 7;

// Reads a pad as the library reports it: the first stick, and on an 8-axis
// pad the fourth (its d-pad) too; the triggers in between rest at one end of
// their axes and are never read.
PadState padStateOf(const JOYSTICK_INFO& pad);

// The game's keys with the pad's added: the stick or d-pad turns, A fires.
PlayKeys withPad(const PlayKeys& keys, const PadState& pad);
// The menu's guarded keys with the pad's added: directions as the arrows, Back as ESC.
MenuKeys withPad(const MenuKeys& keys, const PadState& pad);
// True while A or Start is held: the pad's ENTER in the menu.
bool padChooses(const PadState& pad);
// True while the pad holds what the menu waits to see released on entry.
bool padHoldsEntryKey(const PadState& pad);
// The buttons pressed since the last call; held becomes what is held now,
// so a button held from the screen before is not a press.
unsigned newPresses(unsigned& held, const PadState& pad);
// The readkey value a new press means on the name entry: ENTER for A or
// Start, ESC for Back, 0 for anything else.
int padNameKey(unsigned pressed);
// Applies one frame's stick or d-pad to the name on the name entry. A push
// steps once; held stays true until the stick is back in the centre (the
// screen starts it true, so a push held into it steps nothing). Up and Down
// step the last character through A-Z, a-z, 0-9 and space, round the ends
// (on an empty name they write A), Right adds an A, Left removes the last.
void applyNamePad(NameEntry& entry, bool& held, const PadState& pad);
