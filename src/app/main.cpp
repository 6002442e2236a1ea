// Vollix: start-up, the menu loop and shutdown.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "app/focus.h"
#include "app/gamepad.h"
#include "app/quit_request.h"
#include "app/startup.h"
#include "app/timer.h"
#include "app/window.h"
#include "game/game.h"
#include "res/resource_access.h"

namespace {

// Reports that the window cannot be opened, shuts down, and gives the exit code.
int failGraphics(DATAFILE* resources, const char* reason)
{
    allegro_message("Error initializing graphics mode (640x480).\n%s.", reason);
    unload_datafile(resources);
    allegro_exit();
    return 1;
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

    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 640, 480, 0, 0) != 0)
        return failGraphics(resources, allegro_error);
    set_palette(resourcePalette(resources, RES_PALETTE));
    installQuitHandlers();
    installFocusWatch();
    set_window_title("Vollix - By Orlem Vasket"); // last: a window found by its title takes the quit signals

    std::string windowLost;
    {
        Game game(resources);
        // Declared after the Game, so that the Game is still the last to go.
        Window window;
        Gamepad pad;
        game.window = &window;
        game.pad = &pad;
        while (!game.runMenu()) {
        }

        // The background goes while the library can still release it; the
        // table is written by the Game's destructor after the library is down.
        game.releaseBitmaps();
        window.releaseBitmaps();
        windowLost = window.reason();
        unload_datafile(resources);
        allegro_exit();
        keepQuitSignals();
    }
    endByQuitSignal();
    if (!windowLost.empty()) {
        std::fprintf(stderr, "%s\n", windowLost.c_str());
        return 1;
    }
    return 0;
}
END_OF_MAIN()
