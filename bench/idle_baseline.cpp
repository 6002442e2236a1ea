// The library's own floor: a 640x480 window, a 60 Hz timer, and a loop of
// vsync plus one whole-frame copy, nothing else. Measured beside the game.
#include <allegro.h>

#include <atomic>

namespace {
std::atomic<int> ticks{0};

// The same 60 Hz routine the game installs.
void tick()
{
    ticks.fetch_add(1);
}
END_OF_FUNCTION(tick)
} // namespace

int main()
{
    allegro_init();
    install_keyboard();
    install_timer();
    install_int_ex(tick, BPS_TO_TIMER(60));
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 640, 480, 0, 0) != 0)
        return 1;
    // Palette entry 1 is pure yellow, so the watcher can spot the first frame.
    PALETTE palette;
    for (int i = 0; i < PAL_SIZE; ++i)
        palette[i] = RGB{0, 0, 16, 0};
    palette[1] = RGB{63, 63, 0, 0};
    set_palette(palette);
    set_window_title("Vollix baseline");

    BITMAP* frame = create_bitmap(640, 480);
    clear_bitmap(frame);
    rectfill(frame, 110, 90, 135, 110, 1);
    while (!key[KEY_ESC]) {
        vsync();
        blit(frame, screen, 0, 0, 0, 0, 640, 480);
    }
    destroy_bitmap(frame);
    return 0;
}
END_OF_MAIN()
