// Generates the game's pictures, font grid and sounds for the datafile build.
// Usage: vollix_assetgen OUTPUT_DIR ART_DIR FONT_FILE
//        vollix_assetgen --clear-palette-padding DATA_FILE   (after dat)
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "art.h"
#include "palette_padding.h"
#include "sounds.h"

namespace {
constexpr int FONT_PIXEL_SIZE = 16;

// Writes the script that tells the grabber which characters the grid holds.
void writeFontScript(const std::string& dir)
{
    std::ofstream out(dir + "/font.txt");
    out << "font.bmp 0x20 0x7F\n";
    if (!out)
        throw std::runtime_error("cannot write font.txt");
}

// Writes every asset into dir.
void generate(const std::string& dir, const std::string& artDir, const std::string& fontFile)
{
    const PaletteMap pal;
    TrueTypeFace face(fontFile);
    Image8(16, 16).save(dir + "/palette.bmp", pal);
    makeSky(pal).save(dir + "/sky.bmp", pal);
    makeBarrel(pal).save(dir + "/barrel.bmp", pal);
    makeGunBase(pal).save(dir + "/gun_base.bmp", pal);
    makeBanner(pal, face).save(dir + "/game_over.bmp", pal);
    makeCursor(pal).save(dir + "/cursor.bmp", pal);
    makeFontGrid(pal, face, FONT_PIXEL_SIZE).save(dir + "/font.bmp", pal);
    writeFontScript(dir);
    makeTrooper(pal, artDir + "/trooper.txt", true).save(dir + "/trooper.bmp", pal);
    makeTrooper(pal, artDir + "/trooper_fall_b.txt", false).save(dir + "/trooper_fall_b.bmp", pal);
    makeTrooper(pal, artDir + "/trooper_fall_a.txt", false).save(dir + "/trooper_fall_a.bmp", pal);
    writeSounds(dir);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--clear-palette-padding") {
        if (clearPalettePadding(argv[2]))
            return 0;
        std::fprintf(stderr, "vollix_assetgen: cannot tidy the palette of %s\n", argv[2]);
        return 1;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR ART_DIR FONT_FILE\n", argv[0]);
        return 2;
    }
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0) {
        std::fprintf(stderr, "cannot start the library\n");
        return 1;
    }
    set_color_depth(8);
    set_color_conversion(COLORCONV_NONE);
    try {
        generate(argv[1], argv[2], argv[3]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vollix_assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
