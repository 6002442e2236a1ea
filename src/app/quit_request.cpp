#include "app/quit_request.h"

#include <allegro.h>
#include <atomic>
#include <csignal>

namespace {

// Written from a signal handler and the library's input thread; lock-free.
std::atomic<bool> quitFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free, "signal-safe flag");

void onSignal(int)
{
    quitFlag.store(true);
}

void onCloseButton()
{
    quitFlag.store(true);
}

} // namespace

bool quitRequested()
{
    return quitFlag.load();
}

void installQuitHandlers()
{
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    set_close_button_callback(onCloseButton);
}
