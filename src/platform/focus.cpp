#include "platform/focus.h"

#include <allegro.h>
#include <atomic>

namespace {

// Set on the library's input thread, taken on the main thread.
std::atomic<bool> focusLost{false};

// Runs on the library's thread (possibly more than once per change): only sets the flag.
void onSwitchOut()
{
    focusLost.store(true);
}

} // namespace

void installFocusWatch()
{
    // The windowed X11 driver keeps running in the background (the default
    // switch mode) and calls this when the window loses the focus.
    set_display_switch_callback(SWITCH_OUT, onSwitchOut);
}

bool takeFocusLoss()
{
    return focusLost.exchange(false);
}
