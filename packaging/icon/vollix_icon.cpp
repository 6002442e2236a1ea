// Renders the application icon from the game's own art: the gun and a
// trooper over the night sky, cut from a scene laid out as the game lays it.
#include <allegro.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/startup.h"
#include "res/placements.h"
#include "res/resource_access.h"
#include "world/gun.h"

namespace {

const int ICON_SIDE = 128;
const double PI = 3.14159265358979323846;

// Fixed stars, as fractions of the icon, so every build draws the same icon.
const float STARS[][3] = {
    {0.62f, 0.08f, 1}, {0.85f, 0.20f, 0}, {0.74f, 0.36f, 0}, {0.93f, 0.47f, 1},
    {0.50f, 0.15f, 0}, {0.08f, 0.58f, 0}, {0.40f, 0.42f, 0}, {0.20f, 0.05f, 0},
    {0.97f, 0.05f, 0}, {0.58f, 0.55f, 0}, {0.30f, 0.70f, 0}, {0.80f, 0.62f, 0},
};

// Draws the sky strip across the whole scene, as the game's background does.
void drawSky(BITMAP* scene, BITMAP* sky)
{
    clear_bitmap(scene);
    for (int x = 0; x < scene->w; ++x)
        draw_sprite(scene, sky, x, 0);
}

// Draws the icon's stars inside the cut-out square at (left, top).
void drawStars(BITMAP* scene, int left, int top)
{
    const int white = makecol(255, 255, 255);
    for (const auto& star : STARS) {
        const int x = left + static_cast<int>(star[0] * ICON_SIDE);
        const int y = top + static_cast<int>(star[1] * ICON_SIDE);
        circlefill(scene, x, y, static_cast<int>(star[2]), white);
    }
}

// Composes the scene and copies the icon square out of it.
BITMAP* composeIcon(DATAFILE* resources)
{
    BITMAP* scene = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    BITMAP* base = resourceBitmap(resources, RES_GUN_BASE);
    BITMAP* trooper = resourceBitmap(resources, RES_TROOPER);

    // The square shows the top of the gun tower low in a tall sky, with a
    // trooper, drawn half as large again, up to the left.
    const int top = Gun::BASE_Y - ICON_SIDE * 5 / 8;
    const int left = Gun::PIVOT_X - ICON_SIDE / 2;
    const double scale = 1.5;
    const int trooperW = static_cast<int>(trooper->w * scale);
    const int trooperH = static_cast<int>(trooper->h * scale);
    const int trooperX = left + ICON_SIDE / 12;
    const int trooperY = top + ICON_SIDE / 16;

    drawSky(scene, resourceBitmap(resources, RES_SKY));
    drawStars(scene, left, top);
    rotate_scaled_sprite(scene, trooper, trooperX, trooperY, itofix(-8), ftofix(scale));

    // Aim the barrel at the trooper's body and put a shell on its way there.
    const double dx = trooperX + trooperW / 2.0 - Gun::PIVOT_X;
    const double dy = trooperY + trooperH * 0.75 - Gun::PIVOT_Y;
    const double angle = std::atan2(dx, -dy) * 128.0 / PI;
    pivot_sprite(scene, resourceBitmap(resources, RES_BARREL), Gun::PIVOT_X, Gun::PIVOT_Y, Gun::BARREL_PIVOT_X, Gun::BARREL_PIVOT_Y,
                 ftofix(angle));
    const double along = 0.7;
    circlefill(scene, Gun::PIVOT_X + static_cast<int>(dx * along),
               Gun::PIVOT_Y + static_cast<int>(dy * along), 2, makecol(204, 104, 0));
    draw_sprite(scene, base, Gun::BASE_X, Gun::BASE_Y);

    BITMAP* icon = create_bitmap(ICON_SIDE, ICON_SIDE);
    blit(scene, icon, left, top, 0, 0, ICON_SIDE, ICON_SIDE);
    destroy_bitmap(scene);
    return icon;
}

} // namespace

// Usage: vollix_icon DATAFILE OUTPUT.pcx — writes a 128x128 8-bit picture.
int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s data.dat icon.pcx\n", argv[0]);
        return 2;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "vollix_icon: cannot start the library\n");
        return 1;
    }
    set_color_depth(8);
    set_color_conversion(COLORCONV_NONE);
    DATAFILE* resources = loadResources(argv[1]);
    if (!resources) {
        std::fprintf(stderr, "vollix_icon: %s is not a usable data file\n", argv[1]);
        return 1;
    }
    RGB* palette = static_cast<RGB*>(resources[RES_PALETTE].dat);
    select_palette(palette);

    BITMAP* icon = composeIcon(resources);
    const int failed = save_bitmap(argv[2], icon, palette);
    destroy_bitmap(icon);
    unload_datafile(resources);
    allegro_exit();
    if (failed) {
        std::fprintf(stderr, "vollix_icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
END_OF_MAIN()
