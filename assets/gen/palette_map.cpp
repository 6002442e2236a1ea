#include "palette_map.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {
// Exact 6-bit form of an 8-bit channel that is a multiple of 4 (or 255).
unsigned char exact6(int v)
{
    return static_cast<unsigned char>(v >> 2);
}

// Nearest 6-bit level of an 8-bit channel.
unsigned char round6(int v)
{
    return static_cast<unsigned char>(std::lround(std::clamp(v, 0, 255) * 63.0 / 255.0));
}
} // namespace

PaletteMap::PaletteMap()
{
    entries_[MASK] = RGB{0, 0, 0, 0};
    entries_[WHITE] = RGB{exact6(255), exact6(255), exact6(255), 0};
    entries_[YELLOW] = RGB{exact6(255), exact6(255), exact6(0), 0};
    entries_[ORANGE] = RGB{exact6(204), exact6(104), exact6(0), 0};
    next_ = 4;

    // Night sky, navy at the zenith to a dusky violet haze at the horizon.
    addRamp(Ramp::Sky, {{3, 5, 20}, {10, 14, 44}, {22, 24, 66}, {44, 34, 86}, {74, 50, 102}, {110, 74, 118}}, 48);
    addRamp(Ramp::Ground, {{10, 9, 18}, {26, 23, 38}, {70, 62, 84}}, 8);
    addRamp(Ramp::Steel, {{8, 10, 16}, {40, 46, 58}, {96, 106, 122}, {168, 178, 194}, {236, 242, 250}}, 24);
    addRamp(Ramp::Canopy, {{70, 66, 88}, {140, 136, 146}, {206, 200, 192}, {252, 250, 242}}, 16);
    addRamp(Ramp::Olive, {{24, 28, 14}, {66, 78, 38}, {116, 130, 70}, {178, 190, 120}}, 12);
    addRamp(Ramp::Skin, {{100, 60, 42}, {168, 116, 82}, {236, 190, 150}}, 6);
    addRamp(Ramp::Leather, {{16, 11, 8}, {54, 38, 26}, {112, 84, 58}}, 8);
    addRamp(Ramp::BannerFill, {{112, 12, 8}, {196, 36, 12}, {238, 112, 18}, {255, 214, 64}, {255, 246, 170}}, 16);
    addRamp(Ramp::BannerEdge, {{6, 2, 6}, {36, 6, 10}, {84, 18, 18}}, 8);
    addRamp(Ramp::Warm, {{58, 20, 4}, {164, 74, 8}, {238, 156, 28}, {255, 232, 128}}, 8);
    addRamp(Ramp::Font, {{2, 3, 12}, {46, 46, 76}, {150, 146, 160}, {250, 244, 226}}, 24);

    // A coarse colour cube so that makecol of any other colour lands somewhere sensible.
    spans_[Ramp::Cube] = Span{next_, 64};
    for (int r = 0; r < 4; ++r)
        for (int g = 0; g < 4; ++g)
            for (int b = 0; b < 4; ++b)
                put(Rgb{r * 85, g * 85, b * 85});
    const int greys = GRID - next_;
    spans_[Ramp::Grey] = Span{next_, greys};
    for (int i = 0; i < greys; ++i)
        put(Rgb{(i + 1) * 255 / (greys + 1), (i + 1) * 255 / (greys + 1), (i + 1) * 255 / (greys + 1)});
    entries_[GRID] = RGB{63, 0, 63, 0};
}

void PaletteMap::put(Rgb c)
{
    if (next_ >= GRID)
        throw std::runtime_error("palette overflow");
    entries_[next_++] = RGB{round6(c.r), round6(c.g), round6(c.b), 0};
}

void PaletteMap::addRamp(Ramp ramp, const std::vector<Rgb>& keys, int count)
{
    spans_[ramp] = Span{next_, count};
    const int segments = static_cast<int>(keys.size()) - 1;
    for (int i = 0; i < count; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(count - 1) * segments;
        const int k = std::min(static_cast<int>(t), segments - 1);
        const float f = t - k;
        const Rgb& a = keys[k];
        const Rgb& b = keys[k + 1];
        put(Rgb{static_cast<int>(std::lround(a.r + (b.r - a.r) * f)),
                static_cast<int>(std::lround(a.g + (b.g - a.g) * f)),
                static_cast<int>(std::lround(a.b + (b.b - a.b) * f))});
    }
}

int PaletteMap::index(Ramp ramp, int level) const
{
    const Span& s = spans_.at(ramp);
    return s.first + std::clamp(level, 0, s.count - 1);
}

int PaletteMap::levels(Ramp ramp) const
{
    return spans_.at(ramp).count;
}

int PaletteMap::shade(Ramp ramp, float t) const
{
    const int n = levels(ramp);
    return index(ramp, static_cast<int>(std::lround(std::clamp(t, 0.0f, 1.0f) * (n - 1))));
}

Rgb PaletteMap::color(int index) const
{
    const RGB& e = entries_[index];
    return Rgb{e.r * 255 / 63, e.g * 255 / 63, e.b * 255 / 63};
}

int PaletteMap::nearest(std::initializer_list<Ramp> ramps, Rgb c) const
{
    int best = MASK;
    long bestDist = -1;
    for (Ramp ramp : ramps) {
        const Span& s = spans_.at(ramp);
        for (int i = s.first; i < s.first + s.count; ++i) {
            const Rgb e = color(i);
            const long d = 3L * (e.r - c.r) * (e.r - c.r) + 4L * (e.g - c.g) * (e.g - c.g) + 2L * (e.b - c.b) * (e.b - c.b);
            if (bestDist < 0 || d < bestDist) {
                bestDist = d;
                best = i;
            }
        }
    }
    return best;
}

void PaletteMap::toAllegro(PALETTE pal) const
{
    for (int i = 0; i < 256; ++i)
        pal[i] = entries_[i];
}
