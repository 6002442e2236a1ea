// Starts the library without a window so that memory bitmaps, palettes,
// packed files and datafiles work in the unit tests, and hands the screen
// loops the window-less seam.
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "seam.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0)
        return 2;
    set_color_depth(8);
    seam::install();
    return RUN_ALL_TESTS();
}
