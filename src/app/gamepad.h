#pragma once

#include "game/pad_rules.h"

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
