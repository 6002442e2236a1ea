#include <algorithm>
#include <cmath>

#include "art.h"
#include "raster.h"

namespace {
constexpr int BARREL_W = 5;
constexpr int BARREL_H = 34;
constexpr int MUZZLE_ROWS = 4;

constexpr int BASE_W = 51;
constexpr int BASE_H = 132;
constexpr float CAP_CX = 25.5f;     // the barrel's pivot lies on the cap's centre
constexpr float CAP_CY = 17.5f;
constexpr float CAP_R = 16.0f;
constexpr int BODY_TOP = 21;      // below the pivot, so a level barrel shows clear of the body
constexpr int PLINTH_TOP = 108;     // the ground starts 110 rows below the base's top
constexpr int SEAMS[2] = {46, 78};

// Light comes from the upper left, slightly towards the viewer.
constexpr float LX = -0.55f, LY = -0.65f, LZ = 0.52f;

// Brightness 0..1 of a surface with the given unit normal.
float lit(float nx, float ny, float nz, float ambient, float diffuse, float shine)
{
    const float d = std::max(0.0f, nx * LX + ny * LY + nz * LZ);
    // Mirror reflection towards a viewer on the z axis.
    const float rz = 2.0f * d * nz - LZ;
    const float specular = std::pow(std::max(0.0f, rz), 12.0f);
    return std::clamp(ambient + diffuse * d + shine * specular, 0.0f, 1.0f);
}

// Steel shade of a vertical cylinder at relative column u (-1 left edge .. 1 right edge).
int cylinderShade(const PaletteMap& pal, float u, float dim)
{
    const float nx = std::clamp(u, -0.98f, 0.98f);
    const float nz = std::sqrt(1.0f - nx * nx);
    return pal.shade(Ramp::Steel, lit(nx, 0.0f, nz, 0.12f, 0.8f, 0.35f) * dim);
}
} // namespace

Image8 makeBarrel(const PaletteMap& pal)
{
    Image8 img(BARREL_W, BARREL_H);
    for (int y = 0; y < BARREL_H; ++y)
        for (int x = 0; x < BARREL_W; ++x) {
            const float u = (x + 0.5f) / BARREL_W * 2.0f - 1.0f;
            float dim = 1.0f;
            if (y < MUZZLE_ROWS)
                dim = 0.55f;            // blackened muzzle
            else if (y == MUZZLE_ROWS)
                dim = 1.15f;            // bright collar below it
            img.set(x, y, cylinderShade(pal, u, dim));
        }
    // The bore, seen end-on at the tip.
    img.set(1, 0, pal.index(Ramp::Steel, 1));
    img.set(2, 0, pal.index(Ramp::Steel, 0));
    img.set(3, 0, pal.index(Ramp::Steel, 1));
    return img;
}

Image8 makeGunBase(const PaletteMap& pal)
{
    Image8 img(BASE_W, BASE_H);
    const int steelTop = pal.levels(Ramp::Steel) - 1;
    for (int y = 0; y < BASE_H; ++y)
        for (int x = 0; x < BASE_W; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            // Pedestal: three sections, each a step wider than the one above, on a broad plinth.
            const float t = std::clamp((py - BODY_TOP) / (PLINTH_TOP - BODY_TOP), 0.0f, 1.0f);
            const float half = (y >= PLINTH_TOP) ? 25.5f : (y > SEAMS[1] ? 22.5f : (y > SEAMS[0] ? 21.5f : 20.5f));
            const bool inBody = y >= BODY_TOP && std::fabs(px - CAP_CX) <= half;
            const float dx = px - CAP_CX, dy = py - CAP_CY;
            const bool inCap = dx * dx + dy * dy <= CAP_R * CAP_R && y < BODY_TOP + 2;
            if (!inBody && !inCap)
                continue;
            int c;
            if (inCap && y < BODY_TOP) {
                // Domed cap: a lit sphere.
                const float nx = dx / CAP_R, ny = dy / CAP_R;
                const float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
                c = pal.shade(Ramp::Steel, lit(nx, ny, nz, 0.1f, 0.85f, 0.5f));
            } else {
                const float u = (px - CAP_CX) / half;
                float dim = 0.95f - 0.25f * t;
                if (y >= PLINTH_TOP)
                    dim = 0.6f;
                c = cylinderShade(pal, u, dim);
            }
            img.set(x, y, c);
        }
    // Lit top edges of the pedestal and the plinth, and seams with rivets.
    for (int x = 0; x < BASE_W; ++x) {
        for (int row : {BODY_TOP, PLINTH_TOP}) {
            if (img.get(x, row) == 0)
                continue;
            const float u = std::fabs((x + 0.5f - CAP_CX) / 25.5f);
            img.set(x, row, pal.index(Ramp::Steel, steelTop - static_cast<int>(u * 8)));
            img.set(x, row + 1, pal.index(Ramp::Steel, steelTop - 6 - static_cast<int>(u * 8)));
        }
        for (int row : SEAMS) {
            if (img.get(x, row) == 0)
                continue;
            img.set(x, row, pal.index(Ramp::Steel, 2));
            const float u = (x + 0.5f - CAP_CX) / 25.5f;
            img.set(x, row + 1, cylinderShade(pal, u, 1.2f));
        }
    }
    for (int row : {42, 74, 114})
        for (int x : {10, 18, 26, 34, 42}) {
            if (img.get(x - 3, row) == 0 || img.get(x + 3, row) == 0)
                continue;
            img.set(x, row, pal.index(Ramp::Steel, steelTop - 3));
            img.set(x + 1, row + 1, pal.index(Ramp::Steel, 3));
        }
    // A dark outline keeps the silhouette crisp against the sky.
    Image8 out = img;
    for (int y = 0; y < BASE_H; ++y)
        for (int x = 0; x < BASE_W; ++x)
            if (img.get(x, y) != 0 && (img.get(x - 1, y) == 0 || img.get(x + 1, y) == 0 || img.get(x, y - 1) == 0))
                out.set(x, y, pal.index(Ramp::Steel, 1));
    return out;
}

Image8 makeCursor(const PaletteMap& pal)
{
    // Its tip sits level with the middle of the capitals of the item to its right.
    constexpr int W = 17, H = 19;
    const Polygon arrow = {{0.5f, 0.5f}, {16.0f, 8.5f}, {0.5f, 16.5f}, {5.0f, 8.5f}};
    Image8 img(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (coverage(x, y, [&](float px, float py) { return insidePolygon(arrow, px, py); }) >= 0.5f) {
                // Bright along the top, deeper towards the bottom.
                const float t = 1.0f - static_cast<float>(y) / (H - 1);
                img.set(x, y, pal.shade(Ramp::Warm, 0.35f + 0.65f * t));
            }
    Image8 out = img;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (img.get(x, y) != 0 && (img.get(x + 1, y) == 0 || img.get(x, y + 1) == 0 || img.get(x - 1, y) == 0 ||
                                        img.get(x, y - 1) == 0))
                out.set(x, y, pal.index(Ramp::Warm, (img.get(x, y - 1) == 0 && y < H / 2) ? 7 : 0));
    return out;
}
