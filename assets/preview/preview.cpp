// Composes mock game screens from data.dat with the library's own drawing
// calls and saves them as BMP files, so the art can be judged in place.
// Usage: vollix_preview DATA_FILE OUTPUT_PREFIX
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "res/resources.h"
#include "world/gun.h"

namespace {

// Bitmap of object i.
BITMAP* bmpOf(DATAFILE* d, int i) { return static_cast<BITMAP*>(d[i].dat); }

// Sky repeated across, then stars, as the game builds its background.
void drawBackground(BITMAP* frame, DATAFILE* d)
{
    clear_bitmap(frame);
    for (int x = 0; x < 640; ++x)
        draw_sprite(frame, bmpOf(d, RES_SKY), x, 0);
    const int white = makecol(255, 255, 255);
    for (int i = 0; i < 150; ++i) {
        const int y = std::rand() % 430, x = std::rand() % 640;
        circlefill(frame, x, y, i % 7 == 0 ? 1 : 0, white);
    }
}

// The gun at an angle, barrel under the base.
void drawGun(BITMAP* frame, DATAFILE* d, int angle)
{
    pivot_sprite(frame, bmpOf(d, RES_BARREL), Gun::PIVOT_X, Gun::PIVOT_Y, Gun::BARREL_PIVOT_X, Gun::BARREL_PIVOT_Y, itofix(angle));
    draw_sprite(frame, bmpOf(d, RES_GUN_BASE), Gun::BASE_X, Gun::BASE_Y);
}

// A busy moment of play: troopers in every state and a few shells.
void drawPlay(BITMAP* frame, DATAFILE* d)
{
    drawBackground(frame, d);
    drawGun(frame, d, 20);
    const int orange = makecol(204, 104, 0);
    for (int i = 0; i < 5; ++i)
        circlefill(frame, 335 + i * 28, 340 - i * 70, 2, orange);
    const int xs[] = {60, 140, 230, 420, 510, 580};
    const int ys[] = {40, 150, 260, 90, 200, 320};
    const int sways[] = {-15, 8, 0, 12, -6, 15};
    for (int i = 0; i < 6; ++i)
        rotate_sprite(frame, bmpOf(d, RES_TROOPER), xs[i], ys[i], itofix(sways[i]));
    draw_sprite(frame, bmpOf(d, RES_TROOPER_FALL_A), 300, 120);
    draw_sprite(frame, bmpOf(d, RES_TROOPER_FALL_B), 360, 200);
    draw_sprite(frame, bmpOf(d, RES_TROOPER_FALL_A), 100, 418);
    draw_sprite(frame, bmpOf(d, RES_TROOPER_FALL_A), 470, 418);
    textprintf_ex(frame, font, 5, 5, makecol(255, 255, 255), -1, "Score: %d", 340);
}

// The main menu over the scene.
void drawMenu(BITMAP* frame, DATAFILE* d)
{
    drawBackground(frame, d);
    drawGun(frame, d, -24);
    FONT* f = static_cast<FONT*>(d[RES_FONT].dat);
    textprintf_ex(frame, f, 35, 10, -1, -1, "Play");
    textprintf_ex(frame, f, 35, 35, -1, -1, "Preset: ");
    textprintf_ex(frame, f, 125, 35, -1, -1, "Impossible");
    textprintf_ex(frame, f, 35, 60, -1, -1, "Highscores");
    textprintf_ex(frame, f, 35, 85, -1, -1, "Sound: ");
    rectfill(frame, 110, 90, 110 + 5 * 7, 110, makecol(255, 255, 0));
    textprintf_ex(frame, f, 35, 110, -1, -1, "Exit");
    draw_sprite(frame, bmpOf(d, RES_CURSOR), 10, 12 + 25 * 1);
    textprintf_centre_ex(frame, f, 320, 200, -1, -1, "Congratulations! You have made a highscore!");
    textprintf_centre_ex(frame, f, 320, 225, -1, -1, "Orlem Vasket*  0123456789 {|}~%c", 127);
    textprintf_centre_ex(frame, f, 320, 250, -1, -1, "!\"#$%%&'()*+,-./:;<=>?@[\\]^_`");
    textprintf_centre_ex(frame, f, 320, 275, -1, -1, "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz");
}

// The end of the game-over sequence over a frozen battlefield.
void drawGameOver(BITMAP* frame, DATAFILE* d, int s)
{
    drawPlay(frame, d);
    rotate_scaled_sprite(frame, bmpOf(d, RES_GAME_OVER), 320 - static_cast<int>(s / 256.0 * 176.0),
                         200 - static_cast<int>(s / 256.0 * 27.5), itofix(s), ftofix(s / 256.0));
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0)
        return 2;
    set_color_depth(8);
    DATAFILE* d = load_datafile(argv[1]);
    if (!d)
        return 1;
    PALETTE pal;
    std::copy(static_cast<RGB*>(d[RES_PALETTE].dat), static_cast<RGB*>(d[RES_PALETTE].dat) + 256, pal);
    select_palette(pal);
    BITMAP* frame = create_bitmap(640, 480);
    const std::string prefix = argv[2];
    std::srand(7);
    drawPlay(frame, d);
    save_bitmap((prefix + "play.bmp").c_str(), frame, pal);
    drawMenu(frame, d);
    save_bitmap((prefix + "menu.bmp").c_str(), frame, pal);
    drawGameOver(frame, d, 256);
    save_bitmap((prefix + "gameover.bmp").c_str(), frame, pal);
    drawGameOver(frame, d, 160);
    save_bitmap((prefix + "gameover_mid.bmp").c_str(), frame, pal);
    destroy_bitmap(frame);
    unload_datafile(d);
    return 0;
}
