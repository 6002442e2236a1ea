#pragma once

#include <string>

// The rules of the window that F11 grows and shrinks, apart from the library.

// The largest whole multiple of the 640x480 window that fits within 90 % of
// the desktop's width and height, leaving room for a frame and a panel; 1
// where not even twice the size fits.
int largestScale(int desktopWidth, int desktopHeight);

// True when F11, down now, was up at the last look: a held F11 acts once.
bool f11Toggles(bool& heldBefore, bool downNow);

// The keyboard's filter: F11 never reaches the key buffer, so it ends no
// wait, types nothing and chooses nothing. Other keys pass unchanged.
int dropF11(int key, int* scancode);

// The report of a window the library refused at scale times the screen's
// size, ending with the library's reason.
std::string graphicsError(int scale, const char* reason);

// Tries the wanted scale, then the one the window had. Returns the scale the
// window has afterwards, or 0 when neither could be set.
template <class SetScale>
int switchScale(int wanted, int had, SetScale trySet)
{
    if (trySet(wanted))
        return wanted;
    if (trySet(had))
        return had;
    return 0;
}
