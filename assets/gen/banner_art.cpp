#include <algorithm>
#include <cmath>

#include "art.h"
#include "raster.h"

namespace {
constexpr int BANNER_W = 352;
constexpr int BANNER_H = 55;
constexpr const char* BANNER_TEXT = "GAME OVER";
constexpr float OUTLINE_RADIUS = 2.5f;
constexpr int SHADOW_OFFSET = 2;
constexpr int MARGIN = 3;  // room for the outline around the letters

// Letter fill from the top of the capitals (t = 0) to their foot (t = 1).
Rgb fillColor(float t)
{
    const Rgb top{255, 244, 160}, mid{246, 150, 24}, foot{176, 26, 10};
    const auto mix = [](Rgb a, Rgb b, float f) {
        return Rgb{static_cast<int>(a.r + (b.r - a.r) * f), static_cast<int>(a.g + (b.g - a.g) * f),
                   static_cast<int>(a.b + (b.b - a.b) * f)};
    };
    return t < 0.45f ? mix(top, mid, t / 0.45f) : mix(mid, foot, (t - 0.45f) / 0.55f);
}

// Pixel width of the text at the current size.
int textWidth(const TrueTypeFace& face)
{
    int w = 0;
    for (const char* p = BANNER_TEXT; *p; ++p)
        w += face.render(static_cast<unsigned char>(*p)).advance;
    return w;
}
} // namespace

Image8 makeBanner(const PaletteMap& pal, TrueTypeFace& face)
{
    // Size the capitals to the banner's height, then narrow them to its width.
    const int capRoom = BANNER_H - 2 * MARGIN - SHADOW_OFFSET;
    int size = 40;
    face.setPixelSize(size, size);
    size = size * capRoom / face.render('E').rows;
    int wide = size;
    face.setPixelSize(wide, size);
    while (textWidth(face) > BANNER_W - 2 * MARGIN - SHADOW_OFFSET && wide > 8)
        face.setPixelSize(--wide, size);

    FloatGrid ink(BANNER_W, BANNER_H);
    int pen = (BANNER_W - SHADOW_OFFSET - textWidth(face)) / 2;
    const GlyphBitmap e = face.render('E');
    const int baseline = MARGIN + e.top + (capRoom - e.rows) / 2;
    int capTop = baseline - e.top;
    for (const char* p = BANNER_TEXT; *p; ++p) {
        const GlyphBitmap g = face.render(static_cast<unsigned char>(*p));
        for (int y = 0; y < g.rows; ++y)
            for (int x = 0; x < g.width; ++x)
                ink.raise(pen + g.left + x, baseline - g.top + y, g.at(x, y));
        pen += g.advance;
    }
    const FloatGrid edge = dilate(ink, OUTLINE_RADIUS);

    const Rgb edgeColor{58, 10, 14}, shadowColor{6, 2, 6};
    Image8 img(BANNER_W, BANNER_H);
    for (int y = 0; y < BANNER_H; ++y)
        for (int x = 0; x < BANNER_W; ++x) {
            const float a = ink.at(x, y);
            const float o = edge.at(x, y);
            const float s = edge.at(x - SHADOW_OFFSET, y - SHADOW_OFFSET);
            const float alpha = a + (1 - a) * (o + (1 - o) * s);
            if (alpha < 0.5f)
                continue;
            // Bevel: lighter where the stroke faces up-left, darker where it faces down-right.
            const float bevel = ink.at(x + 1, y + 1) - ink.at(x - 1, y - 1);
            Rgb f = fillColor(std::clamp(static_cast<float>(y - capTop) / e.rows, 0.0f, 1.0f));
            const float k = 1.0f + 0.35f * bevel;
            f = Rgb{std::min(255, static_cast<int>(f.r * k)), std::min(255, static_cast<int>(f.g * k)),
                    std::min(255, static_cast<int>(f.b * k))};
            const float wo = (1 - a) * o, ws = (1 - a) * (1 - o) * s;
            const Rgb c{static_cast<int>((f.r * a + edgeColor.r * wo + shadowColor.r * ws) / alpha),
                        static_cast<int>((f.g * a + edgeColor.g * wo + shadowColor.g * ws) / alpha),
                        static_cast<int>((f.b * a + edgeColor.b * wo + shadowColor.b * ws) / alpha)};
            img.set(x, y, pal.nearest({Ramp::BannerFill, Ramp::BannerEdge}, c));
        }
    return img;
}
