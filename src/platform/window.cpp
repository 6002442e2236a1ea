#include "platform/window.h"

#include "platform/focus.h"
#include "platform/quit_request.h"
#include "platform/scaled_copy.h"
#include "platform/window_rules.h"
#include "res/placements.h"

namespace {
// How long the library's input thread gets to report the focus-out of a remapped window.
constexpr int FOCUS_SETTLE_MS = 100;
constexpr int FOCUS_POLL_MS = 5;
} // namespace

bool openWindow(int scale)
{
    return set_gfx_mode(GFX_AUTODETECT_WINDOWED, SCREEN_WIDTH * scale, SCREEN_HEIGHT * scale, 0, 0) == 0;
}

Window::Window()
{
    keyboard_ucallback = dropF11;
}

Window::~Window()
{
    keyboard_ucallback = nullptr;
}

void Window::followF11()
{
    if (f11Toggles(f11Held, key[KEY_F11] != 0) && !lost())
        toggle();
}

void Window::present(BITMAP* frame)
{
    if (lost())
        return; // nothing to show on; the screens leave at their next look
    vsync();
    if (scale == 1)
        blit(frame, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    else
        copyChanged(frame, shown, grown, screen, scale);
}

void Window::toggle()
{
    const int wanted = chooseScale();
    if (wanted == scale)
        return; // where not even twice the size fits, F11 does nothing
    if (!makePictures(wanted))
        return; // nor without the memory for the pictures: the window stays as it is
    if (switchTo(wanted))
        repaint();
}

int Window::chooseScale() const
{
    if (scale > 1)
        return 1;
    int desktopWidth = 0; // left so when the desktop's size is unknown: no larger window fits
    int desktopHeight = 0;
    get_desktop_resolution(&desktopWidth, &desktopHeight);
    return largestScale(desktopWidth, desktopHeight);
}

bool Window::makePictures(int wanted)
{
    if (!shown)
        shown = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    if (!shown)
        return false;
    if (scale == 1) { // growing, from a window that has no grown picture
        grown = create_bitmap(SCREEN_WIDTH * wanted, SCREEN_HEIGHT * wanted);
        blit(screen, shown, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT); // the picture the player sees
    }
    return grown != nullptr;
}

bool Window::switchTo(int wanted)
{
    // A new mode brings the library's default palette; the title, the close
    // button and the focus watch stay with the window, which is the same one.
    PALETTE palette;
    get_palette(palette);
    const int had = scale;
    scale = switchScale(wanted, had, openWindow);
    if (scale == 0) {
        lostReason = graphicsError(had, allegro_error);
        requestQuit();
        return false;
    }
    set_palette(palette);
    settleFocus();
    if (scale == 1)
        releaseGrown();
    return true;
}

void Window::repaint()
{
    // A grown picture goes through grown, which touches all its memory now
    // rather than in the first frames.
    if (scale > 1)
        stretch_blit(shown, grown, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0, SCREEN_WIDTH * scale,
                     SCREEN_HEIGHT * scale);
    blit(scale > 1 ? grown : shown, screen, 0, 0, 0, 0, SCREEN_WIDTH * scale, SCREEN_HEIGHT * scale);
}

void Window::settleFocus()
{
    // Remapping the window takes the focus from it for a moment; the
    // library reports that on its own thread, as if the player had left.
    // A game must not pause for it, so the report is awaited and dropped.
    for (int waited = 0; waited < FOCUS_SETTLE_MS && !takeFocusLoss(); waited += FOCUS_POLL_MS)
        rest(FOCUS_POLL_MS);
    rest(FOCUS_POLL_MS); // a report may come twice
    takeFocusLoss();
}

void Window::releaseBitmaps()
{
    destroy_bitmap(shown); // none yet: the library passes over a null bitmap
    shown = nullptr;
    releaseGrown();
}

void Window::releaseGrown()
{
    destroy_bitmap(grown);
    grown = nullptr;
}
