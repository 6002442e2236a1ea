#pragma once

// A window-less stand-in for what the screen loops touch outside the game:
// the retrace, the pauses of the waits, the key buffer and the sound. The
// loops run unchanged; a test scripts each frame and reads what was played.
#include <allegro.h>

#include <functional>
#include <vector>

namespace seam {

// One play_sample call.
struct Cue {
    const SAMPLE* sample;
    int volume, pan, frequency, loop;
    int frame; // retraces waited for before it played
};

extern std::vector<Cue> cues;
extern int frames;                         // retraces waited for
extern int rests;                          // rest() calls
extern std::function<void(int)> onFrame;   // runs at each retrace, before the frame is shown
extern std::function<void(int)> onRest;    // runs at each rest()

// Forgets cues, counts, hooks, held keys and buffered keys.
void reset();
// Puts one readkey value (scancode << 8 | character) into the key buffer.
void type(int keyValue);
// Gives the seam the screen and the key buffer; call once after the library starts.
void install();

} // namespace seam
