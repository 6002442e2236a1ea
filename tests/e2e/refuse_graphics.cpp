// Loaded ahead of the library, this makes every graphics mode fail as a
// display that refuses the window would, so that the game's report of the
// failure can be seen end to end.
#include <allegro.h>

extern "C" int set_gfx_mode(int, int, int, int, int)
{
    ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, "Refused for the test");
    return -1;
}
