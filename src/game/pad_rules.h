#pragma once

#include <allegro.h>

#include "game/game.h"
#include "game/menu_rules.h"
#include "platform/gamepad.h"
#include "scores/name_entry.h"

// What each button and stick of the first pad means on each screen, beside
// the keyboard's rules; the pad itself is read in platform/gamepad.

// The game's keys with the pad's added: the stick or d-pad turns, A fires.
PlayKeys withPad(const PlayKeys& keys, const PadState& pad);
// The menu's guarded keys with the pad's added: directions as the arrows, Back as ESC.
MenuKeys withPad(const MenuKeys& keys, const PadState& pad);
// True while Start is held: the pad's P in a game, which pauses and goes on.
bool padPauses(const PadState& pad);
// True while Back is held: the pad's ESC in a game, which ends it.
bool padEndsGame(const PadState& pad);
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
