// Loaded ahead of the library, this makes graphics modes fail as a display
// that refuses the window would, so that the game's report of the failure can
// be seen end to end: every mode, or every one after the first
// VOLLIX_REFUSE_AFTER (a number).
#include <allegro.h>
#include <dlfcn.h>

#include <cstdlib>

extern "C" int set_gfx_mode(int card, int w, int h, int vw, int vh)
{
    static int allowed = std::atoi(std::getenv("VOLLIX_REFUSE_AFTER") ?: "0");
    static auto next = reinterpret_cast<int (*)(int, int, int, int, int)>(dlsym(RTLD_NEXT, "set_gfx_mode"));
    if (allowed-- > 0)
        return next(card, w, h, vw, vh);
    ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, "Refused for the test");
    return -1;
}
