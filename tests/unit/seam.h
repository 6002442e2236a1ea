#pragma once

// A window-less stand-in for what the screen loops touch outside the game:
// the retrace, the pauses of the waits, the key buffer and the sound. The
// loops run unchanged; a test scripts each frame and reads what was played.
#include <allegro.h>

#include <functional>
#include <vector>

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
// Gives the seam the screen and the key buffer; once, after the library starts.
void install();

} // namespace seam
