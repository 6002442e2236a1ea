#pragma once

#include <allegro.h>

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

// The first gamepad, read through the library's joystick driver. Without a
// pad, or when the driver cannot start, it reads as a pad nobody touches.
class Gamepad {
public:
    // Installs the library's joystick driver, silently; allegro_exit removes it.
    Gamepad();
    Gamepad(const Gamepad&) = delete;
    Gamepad& operator=(const Gamepad&) = delete;

    // Reads the pad once; a pad pulled out reads as released from then on.
    PadState poll();

private:
    int device = -1; // the driver's open device, watched for a pad pulled out
    bool pulledOut = false;
};
