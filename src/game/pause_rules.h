#pragma once

// What one frame of a game saw that bears on the pause.
struct PauseKeys {
    bool pauseKey;  // P is down
    bool focusLost; // the window lost the keyboard focus since the last frame
};

// What a game keeps about the pause from frame to frame.
struct PauseState {
    bool paused = false;
    bool keyHeld = false; // P was down in the last frame: a held key acts once
};

// Applies one frame's P key and focus loss to the pause. Returns true when
// the frame runs the logic steps counted so far; a frame that does not run
// them drops them, so that resuming never replays the time spent paused.
bool applyPauseKeys(PauseState& state, const PauseKeys& keys);
