#include <algorithm>
#include <vector>

#include "art.h"
#include "raster.h"

namespace {
constexpr unsigned FIRST_CHAR = 32;
constexpr unsigned LAST_CHAR = 127;  // DEL gets a small block of its own
constexpr int GLYPHS_PER_ROW = 16;
constexpr float OPAQUE_FROM = 0.3f;  // lighter edge pixels stay transparent
const Rgb TEXT_COLOR{250, 244, 226};
const Rgb SHADOW_COLOR{2, 3, 12};

// One glyph cell: anti-aliased ink composed with a one-pixel drop shadow.
struct Cell {
    int width;
    FloatGrid ink;
};

// Renders a character into a cell as tall as the font's line, with room for the shadow.
Cell renderCell(TrueTypeFace& face, unsigned code, int lineHeight)
{
    const int ascender = face.ascender();
    if (code == LAST_CHAR) {
        const GlyphBitmap x = face.render('x');
        const int w = x.advance;
        Cell cell{w, FloatGrid(w, lineHeight)};
        for (int y = ascender - x.top; y < ascender; ++y)
            for (int i = 1; i < w - 2; ++i)
                cell.ink.raise(i, y, 1.0f);
        return cell;
    }
    const GlyphBitmap g = face.render(code);
    const int shift = std::max(0, -g.left);
    const int w = std::max(g.advance, shift + g.left + g.width + 1);
    Cell cell{w, FloatGrid(w, lineHeight)};
    for (int y = 0; y < g.rows; ++y)
        for (int x = 0; x < g.width; ++x)
            cell.ink.raise(shift + g.left + x, ascender - g.top + y, g.at(x, y));
    return cell;
}
} // namespace

Image8 makeFontGrid(const PaletteMap& pal, TrueTypeFace& face, int pixelSize)
{
    face.setPixelSize(pixelSize, pixelSize);
    const int lineHeight = face.ascender() + face.descender() + 1;
    std::vector<Cell> cells;
    for (unsigned c = FIRST_CHAR; c <= LAST_CHAR; ++c)
        cells.push_back(renderCell(face, c, lineHeight));

    const int rows = (static_cast<int>(cells.size()) + GLYPHS_PER_ROW - 1) / GLYPHS_PER_ROW;
    int gridWidth = 0;
    for (int r = 0; r < rows; ++r) {
        int w = 1;
        for (int i = r * GLYPHS_PER_ROW; i < std::min<int>((r + 1) * GLYPHS_PER_ROW, cells.size()); ++i)
            w += cells[i].width + 1;
        gridWidth = std::max(gridWidth, w);
    }
    Image8 grid(gridWidth, 1 + rows * (lineHeight + 1), PaletteMap::GRID);

    // The text lies over the upper sky, so the edge shades blend towards it.
    const Rgb sky = pal.color(pal.shade(Ramp::Sky, 0.2f));
    for (size_t i = 0; i < cells.size(); ++i) {
        const int r = static_cast<int>(i) / GLYPHS_PER_ROW;
        int left = 1;
        for (size_t j = static_cast<size_t>(r) * GLYPHS_PER_ROW; j < i; ++j)
            left += cells[j].width + 1;
        const int top = 1 + r * (lineHeight + 1);
        const Cell& cell = cells[i];
        for (int y = 0; y < lineHeight; ++y)
            for (int x = 0; x < cell.width; ++x) {
                const float a = cell.ink.at(x, y);
                const float s = cell.ink.at(x - 1, y - 1) * 0.9f;
                const float alpha = a + (1 - a) * s;
                int index = PaletteMap::MASK;
                if (alpha >= OPAQUE_FROM) {
                    const float ws = (1 - a) * s, wb = 1 - alpha;
                    const Rgb c{static_cast<int>(TEXT_COLOR.r * a + SHADOW_COLOR.r * ws + sky.r * wb),
                                static_cast<int>(TEXT_COLOR.g * a + SHADOW_COLOR.g * ws + sky.g * wb),
                                static_cast<int>(TEXT_COLOR.b * a + SHADOW_COLOR.b * ws + sky.b * wb)};
                    index = pal.nearest({Ramp::Font}, c);
                }
                grid.set(left + x, top + y, index);
            }
    }
    return grid;
}
