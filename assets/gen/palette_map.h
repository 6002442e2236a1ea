#pragma once

#include <array>
#include <initializer_list>
#include <map>
#include <vector>

#include <allegro.h>

// An 8-bit red, green, blue colour.
struct Rgb {
    int r, g, b;
};

// The named colour ramps of the game's single 256-colour palette.
enum class Ramp { Sky, Ground, Steel, Canopy, Olive, Skin, Leather, BannerFill, BannerEdge, Warm, Font, Cube, Grey };

// Builds the palette shared by every picture and hands out indices by ramp and shade.
class PaletteMap {
public:
    static constexpr int MASK = 0;    // transparent in every sprite
    static constexpr int WHITE = 1;   // stars and the score line
    static constexpr int YELLOW = 2;  // the volume bar
    static constexpr int ORANGE = 3;  // shells
    static constexpr int GRID = 255;  // separator of the font's glyph grid

    PaletteMap();
    // Index of shade `level` (clamped) of a ramp.
    int index(Ramp ramp, int level) const;
    // Number of shades in a ramp.
    int levels(Ramp ramp) const;
    // Index of the shade at fraction t (0 darkest end, 1 brightest end) of a ramp.
    int shade(Ramp ramp, float t) const;
    // Index of the entry of the given ramps closest to an 8-bit colour.
    int nearest(std::initializer_list<Ramp> ramps, Rgb c) const;
    // The colour an index shows, widened back to 8 bits per channel.
    Rgb color(int index) const;
    // Copies the palette into the library's 6-bit form.
    void toAllegro(PALETTE pal) const;

private:
    struct Span {
        int first;
        int count;
    };
    // Appends a ramp of `count` shades interpolated through the given key colours.
    void addRamp(Ramp ramp, const std::vector<Rgb>& keys, int count);
    // Stores an 8-bit colour at the next free index, rounded to 6 bits.
    void put(Rgb c);

    std::array<RGB, 256> entries_{};
    std::map<Ramp, Span> spans_;
    int next_ = 0;
};
