#include <cmath>

#include "art.h"

namespace {
constexpr int SKY_HEIGHT = 480;
constexpr int GROUND_TOP = 458;  // landed troopers stand on this row
// Ordered threshold per row, so neighbouring shades interleave instead of banding.
constexpr float ROW_DITHER[4] = {0.125f, 0.625f, 0.375f, 0.875f};
} // namespace

Image8 makeSky(const PaletteMap& pal)
{
    Image8 img(1, SKY_HEIGHT);
    const int shades = pal.levels(Ramp::Sky);
    for (int y = 0; y < GROUND_TOP; ++y) {
        // Slightly eased so the haze gathers near the horizon.
        const float t = std::pow(static_cast<float>(y) / (GROUND_TOP - 1), 1.15f);
        const float level = t * (shades - 1);
        const int base = static_cast<int>(level);
        const int pick = (level - base > ROW_DITHER[y % 4]) ? base + 1 : base;
        img.set(0, y, pal.index(Ramp::Sky, pick));
    }
    // Ground: a lit rim, then darkening soil to the bottom edge.
    const int groundShades = pal.levels(Ramp::Ground);
    img.set(0, GROUND_TOP, pal.index(Ramp::Ground, groundShades - 1));
    img.set(0, GROUND_TOP + 1, pal.index(Ramp::Ground, groundShades - 3));
    for (int y = GROUND_TOP + 2; y < SKY_HEIGHT; ++y) {
        const float t = static_cast<float>(y - GROUND_TOP - 2) / (SKY_HEIGHT - GROUND_TOP - 3);
        img.set(0, y, pal.index(Ramp::Ground, static_cast<int>(std::lround((1.0f - t) * (groundShades - 4)))));
    }
    return img;
}
