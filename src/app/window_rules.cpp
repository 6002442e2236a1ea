#include "app/window_rules.h"

#include <allegro.h>

#include "game/frame.h"

int largestScale(int desktopWidth, int desktopHeight)
{
    int scale = 1;
    // Compared in tenths, so that 90 % is exact in whole numbers.
    while (Frame::WIDTH * (scale + 1) * 10 <= desktopWidth * 9 && Frame::HEIGHT * (scale + 1) * 10 <= desktopHeight * 9)
        ++scale;
    return scale;
}

bool f11Toggles(bool& heldBefore, bool downNow)
{
    const bool toggles = downNow && !heldBefore;
    heldBefore = downNow;
    return toggles;
}

int dropF11(int key, int* scancode)
{
    if (*scancode != KEY_F11)
        return key;
    *scancode = 0;
    return 0;
}
