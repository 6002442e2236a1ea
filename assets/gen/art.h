#pragma once

#include <string>

#include "image8.h"
#include "palette_map.h"
#include "truetype_face.h"

// Sky strip, one pixel wide: night gradient down to the ground band.
Image8 makeSky(const PaletteMap& pal);
// Gun barrel pointing up, turning about its point (2, 30).
Image8 makeBarrel(const PaletteMap& pal);
// Gun base: turret cap over the barrel's foot on a pedestal down to the ground.
Image8 makeGunBase(const PaletteMap& pal);
// "GAME OVER" banner, 352x55.
Image8 makeBanner(const PaletteMap& pal, TrueTypeFace& face);
// Menu cursor: a warm arrowhead pointing right.
Image8 makeCursor(const PaletteMap& pal);
// Glyph grid of characters 32..127 in the form the library's font grabber reads.
Image8 makeFontGrid(const PaletteMap& pal, TrueTypeFace& face, int pixelSize);
// Trooper sprite, 26x40, from a pixel map file; with a canopy painted above when asked.
Image8 makeTrooper(const PaletteMap& pal, const std::string& mapFile, bool withCanopy);
