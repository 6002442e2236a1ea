#include "game/star_field.h"

#include <cstdlib>

#include "res/placements.h"

namespace {
constexpr int STAR_COUNT = 150;
constexpr int STAR_ROWS = 430;
} // namespace

std::vector<Star> starField()
{
    std::vector<Star> stars;
    for (int i = 0; i < STAR_COUNT; ++i) {
        const int y = std::rand() % STAR_ROWS; // the row is drawn first
        const int x = std::rand() % SCREEN_WIDTH;
        stars.push_back(Star{x, y, i % 7 == 0 ? 1 : 0});
    }
    return stars;
}
