#pragma once

#include <vector>

// One star of the night sky: its centre, and a radius of 0 (one pixel) or 1.
struct Star {
    int x;
    int y;
    int radius;
    bool operator==(const Star&) const = default;
};

// A new field of 150 stars drawn from rand(), centred above row 430 across
// the screen's width; every seventh one, from the first, has radius 1.
std::vector<Star> starField();
