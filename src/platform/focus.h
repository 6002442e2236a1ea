#pragma once

// Losing the keyboard focus: the library reports it on its own thread and
// the play loop takes the news once a frame, so a game waits for the player.

// Hooks the window's switch-away notice up to the focus-loss flag.
void installFocusWatch();
// True when the window lost the focus since the last call; clears the flag.
bool takeFocusLoss();
