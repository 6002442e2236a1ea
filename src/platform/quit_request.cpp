#include "platform/quit_request.h"

#include <allegro.h>
#include <atomic>
#include <csignal>
#include <cstdlib>

#include <unistd.h>

namespace {

// Written from signal handlers and the library's input thread; lock-free.
std::atomic<bool> quitFlag{false};
std::atomic<int> quitSignal{0};
std::atomic<bool> libraryShutDown{false};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "signal-safe flags");

constexpr int QUIT_SIGNALS[] = {SIGHUP, SIGINT, SIGTERM};

// Notes the first signal that asked to leave, and the request itself.
void onSignal(int number)
{
    int none = 0;
    quitSignal.compare_exchange_strong(none, number);
    quitFlag.store(true);
}

// The window manager's close request.
void onCloseButton()
{
    quitFlag.store(true);
}

// Runs when something calls exit while the game still runs: Xlib does so
// when the X server goes away. The library's own exit handler would then wait
// for its input thread for ever, so the process ends here at once; every
// confirmed name is already on disk.
void endCutShort()
{
    if (!libraryShutDown.load())
        _exit(1);
}

// Points the three signals at onSignal.
void catchQuitSignals()
{
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int number : QUIT_SIGNALS)
        sigaction(number, &action, nullptr);
}

} // namespace

bool quitRequested()
{
    return quitFlag.load();
}

void requestQuit()
{
    quitFlag.store(true);
}

void installQuitHandlers()
{
    catchQuitSignals();
    set_close_button_callback(onCloseButton);
    std::atexit(endCutShort); // runs before the library's own exit handler
}

void keepQuitSignals()
{
    libraryShutDown.store(true);
    catchQuitSignals();
}

void endByQuitSignal()
{
    const int number = quitSignal.load();
    if (number == 0)
        return;
    signal(number, SIG_DFL);
    raise(number);
}
