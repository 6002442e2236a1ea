#include "platform/window_rules.h"

#include <allegro.h>

#include "res/placements.h"

int largestScale(int desktopWidth, int desktopHeight)
{
    int scale = 1;
    // Compared in tenths, so that 90 % is exact in whole numbers.
    while (SCREEN_WIDTH * (scale + 1) * 10 <= desktopWidth * 9 && SCREEN_HEIGHT * (scale + 1) * 10 <= desktopHeight * 9)
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

std::string graphicsError(int scale, const char* reason)
{
    return "Error initializing graphics mode (" + std::to_string(SCREEN_WIDTH * scale) + "x" +
           std::to_string(SCREEN_HEIGHT * scale) + ").\n" + reason + ".";
}
