#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "art.h"

namespace {
constexpr int TROOPER_W = 26;
constexpr int TROOPER_H = 40;

// Canopy: the upper half of an ellipse over the 26x16 parachute box.
constexpr float CANOPY_CX = 13.0f;
constexpr float CANOPY_CY = 11.0f;
constexpr float CANOPY_RX = 13.0f;
constexpr float CANOPY_RY = 10.5f;
constexpr int GORES = 7;
constexpr float HEM_SCALLOP = 1.3f;  // how far each panel's hem sags between the seams

// Palette index of one character of a pixel map.
int legend(const PaletteMap& pal, char c)
{
    switch (c) {
    case 'h': return pal.index(Ramp::Olive, 10);   // helmet highlight
    case 'H': return pal.index(Ramp::Olive, 7);    // helmet
    case 'o': return pal.index(Ramp::Olive, 9);    // lit cloth
    case 'O': return pal.index(Ramp::Olive, 6);    // cloth
    case 'D': return pal.index(Ramp::Olive, 3);    // cloth in shadow
    case 's': return pal.index(Ramp::Skin, 5);
    case 'S': return pal.index(Ramp::Skin, 2);
    case 'B': return pal.index(Ramp::Leather, 1);  // boots and belt
    case 'b': return pal.index(Ramp::Leather, 5);  // harness
    case 'l': return pal.index(Ramp::Canopy, 9);   // shroud line
    case 'c': return pal.index(Ramp::Canopy, 12);  // torn cloth
    case 'C': return pal.index(Ramp::Canopy, 6);
    default: return PaletteMap::MASK;
    }
}

// Reads a 26x40 pixel map; lines starting with '#' are comments.
std::vector<std::string> readMap(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::vector<std::string> rows;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] == '#')
            continue;
        if (static_cast<int>(line.size()) != TROOPER_W)
            throw std::runtime_error(path + ": every row must be 26 characters wide");
        rows.push_back(line);
    }
    if (static_cast<int>(rows.size()) != TROOPER_H)
        throw std::runtime_error(path + ": the map must have 40 rows");
    return rows;
}

// Horizontal offset of seam k (0..GORES) at height v (0 hem .. 1 crown).
float seamX(int k, float v)
{
    const float phi = -1.5707963f + 3.1415926f * static_cast<float>(k) / GORES;
    return CANOPY_RX * std::sin(phi) * std::sqrt(std::max(0.0f, 1.0f - v * v));
}

// Paints the canopy and the shroud lines down to the hands at (leftHand) and (rightHand).
void paintCanopy(Image8& img, const PaletteMap& pal, int leftHandX, int rightHandX, int handY)
{
    const int shades = pal.levels(Ramp::Canopy);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < TROOPER_W; ++x) {
            const float px = x + 0.5f - CANOPY_CX, py = y + 0.5f;
            const float v = (CANOPY_CY - py) / CANOPY_RY;
            // Which panel this column falls in at the hem, and how far across it.
            const float hemPhase = (std::asin(std::clamp(px / CANOPY_RX, -1.0f, 1.0f)) + 1.5707963f) / 3.1415926f * GORES;
            const int gore = std::min(GORES - 1, static_cast<int>(hemPhase));
            const float across = hemPhase - gore;
            const float hem = CANOPY_CY + HEM_SCALLOP * std::sin(3.1415926f * across);
            if (v > 1.0f || py > hem || (px / CANOPY_RX) * (px / CANOPY_RX) + v * v > 1.0f)
                continue;
            const float nx = px / CANOPY_RX;
            const float ny = -std::max(0.0f, v);
            const float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
            float light = 0.35f + 0.65f * std::max(0.0f, -0.5f * nx - 0.55f * ny + 0.67f * nz);
            if (gore % 2 == 1)
                light *= 0.9f;                      // alternate panels a touch darker
            if (py > hem - 1.0f)
                light *= 0.62f;                     // the underside shows along the hem
            img.set(x, y, pal.index(Ramp::Canopy, static_cast<int>(light * (shades - 1))));
        }
    // Seams between the panels.
    for (int k = 1; k < GORES; ++k)
        for (int y = 1; y < 12; ++y) {
            const float v = (CANOPY_CY - (y + 0.5f)) / CANOPY_RY;
            if (v < 0.0f || v > 0.97f)
                continue;
            const int x = static_cast<int>(std::floor(CANOPY_CX + seamX(k, v)));
            if (img.get(x, y) != 0)
                img.set(x, y, pal.index(Ramp::Canopy, 4));
        }
    // Shroud lines from the hem's seam points to the hands.
    const int lineColor = legend(pal, 'l');
    for (int k = 0; k <= GORES; ++k) {
        const float sx = CANOPY_CX + seamX(k, 0.0f) + (k == 0 ? 0.5f : (k == GORES ? -0.5f : 0.0f));
        const float sy = CANOPY_CY + 0.5f;
        const float hx = (k * 2 < GORES ? leftHandX : rightHandX) + 0.5f;
        const float hy = handY + 0.5f;
        const int steps = static_cast<int>(std::max(std::fabs(hx - sx), std::fabs(hy - sy))) + 1;
        for (int i = 0; i <= steps; ++i) {
            const float t = static_cast<float>(i) / steps;
            const int x = static_cast<int>(std::floor(sx + (hx - sx) * t));
            const int y = static_cast<int>(std::floor(sy + (hy - sy) * t));
            if (img.get(x, y) == 0)
                img.set(x, y, lineColor);
        }
    }
}
} // namespace

Image8 makeTrooper(const PaletteMap& pal, const std::string& mapFile, bool withCanopy)
{
    const std::vector<std::string> rows = readMap(mapFile);
    Image8 img(TROOPER_W, TROOPER_H);
    if (withCanopy) {
        // The hands are the map's topmost skin pixels, one each side of the centre.
        int leftX = 0, rightX = TROOPER_W - 1, handY = TROOPER_H;
        for (int y = 0; y < TROOPER_H && handY == TROOPER_H; ++y)
            for (int x = 0; x < TROOPER_W; ++x)
                if (rows[y][x] == 's' || rows[y][x] == 'S') {
                    handY = y;
                    if (x < TROOPER_W / 2)
                        leftX = x;
                    else
                        rightX = x;
                }
        paintCanopy(img, pal, leftX, rightX, handY);
    }
    for (int y = 0; y < TROOPER_H; ++y)
        for (int x = 0; x < TROOPER_W; ++x)
            if (rows[y][x] != '.')
                img.set(x, y, legend(pal, rows[y][x]));
    return img;
}
