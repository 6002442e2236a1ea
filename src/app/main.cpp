// Vollix: start-up, the menu loop and shutdown.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>

#include "platform/focus.h"
#include "platform/gamepad.h"
#include "platform/quit_request.h"
#include "app/startup.h"
#include "app/timer.h"
#include "platform/window.h"
#include "platform/window_rules.h"
#include "game/game.h"
#include "res/resource_access.h"

namespace {

// Reports that the window cannot be opened, shuts down, and gives the exit code.
int failGraphics(DATAFILE* resources, const char* reason)
{
    allegro_message("%s", graphicsError(1, reason).c_str());
    unload_datafile(resources);
    allegro_exit();
    return 1;
}

// Shuts down after the menu loop in the one order that works, and gives the
// exit code: the pictures go while the library can still release them, then
// the data file and the library; the quit signals are taken back from the
// library's default actions, so that none cuts the table's save short; the
// Game goes last and writes the table with the packed-file calls alone; a
// quit signal then ends the process by that same signal.
int shutDown(std::optional<Game>& game, Window& window, DATAFILE* resources)
{
    game->releaseBitmaps();
    window.releaseBitmaps();
    unload_datafile(resources);
    allegro_exit();
    keepQuitSignals();
    game.reset();
    endByQuitSignal();
    if (window.lost()) {
        std::fprintf(stderr, "%s\n", window.reason().c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main()
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    // Without a display the library cannot start, and calls after a failed
    // start crash. Its display-less system still reads the data file, so a
    // bad one is reported first; the missing display is then reported as the
    // graphics failure it is, before anything that needs a display runs.
    const bool started = allegro_init() == 0;
    if (!started)
        install_allegro(SYSTEM_NONE, &errno, std::atexit);

    DATAFILE* resources = loadResources("data.dat");
    if (!resources) {
        allegro_message("Error loading DATA.DAT.");
        allegro_exit();
        return 1;
    }

    if (!started)
        return failGraphics(resources, allegro_error[0] ? allegro_error : "No display to open a window on");

    install_keyboard();
    install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr);
    install_timer();
    startLogicTimer();

    if (!openWindow(1))
        return failGraphics(resources, allegro_error);
    set_palette(resourcePalette(resources, RES_PALETTE));
    installQuitHandlers();
    installFocusWatch();
    set_window_title("Vollix - By Orlem Vasket"); // last: a window found by its title takes the quit signals

    std::optional<Game> game(std::in_place, resources);
    Window window;
    Gamepad pad;
    game->window = &window;
    game->pad = &pad;
    while (game->runMenu() != MenuResult::Exit) {
    }
    return shutDown(game, window, resources);
}
END_OF_MAIN()
