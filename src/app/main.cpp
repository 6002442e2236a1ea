// Vollix: start-up, the menu loop and shutdown.
#include <allegro.h>

#include <cstdlib>
#include <ctime>

#include "app/quit_request.h"
#include "app/startup.h"
#include "app/timer.h"
#include "game/game.h"
#include "res/resource_access.h"

int main()
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    // Without a display the library cannot start, and every call after a
    // failed start can crash: report it as the graphics failure it is.
    if (allegro_init() != 0) {
        allegro_message("Error initializing graphics mode (640x480).\n%s.",
                        allegro_error[0] ? allegro_error : "No display to open a window on");
        return 1;
    }

    DATAFILE* resources = loadResources("data.dat");
    if (!resources) {
        allegro_message("Error loading DATA.DAT.");
        allegro_exit();
        return 1;
    }

    install_keyboard();
    install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr);
    install_timer();
    LOCK_VARIABLE(logicTicks);
    LOCK_FUNCTION(tickTimer);
    install_int_ex(tickTimer, BPS_TO_TIMER(60));

    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 640, 480, 0, 0) != 0) {
        allegro_message("Error initializing graphics mode (640x480).\n%s.", allegro_error);
        unload_datafile(resources);
        allegro_exit();
        return 1;
    }
    set_palette(resourcePalette(resources, RES_PALETTE));
    set_window_title("Vollix - By Orlem Vasket");
    installQuitHandlers();

    Game game(resources);
    while (!game.runMenu()) {
    }

    // The background goes while the library can still release it; the
    // table is written by the Game's destructor after the library is down.
    game.releaseBackground();
    unload_datafile(resources);
    allegro_exit();
    return 0;
}
END_OF_MAIN()
