#pragma once

#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

// One rendered glyph: 8-bit coverage, its offset from the pen and its advance, in pixels.
struct GlyphBitmap {
    int left = 0;   // from the pen to the first column
    int top = 0;    // from the baseline up to the first row
    int width = 0;
    int rows = 0;
    int advance = 0;
    std::vector<unsigned char> gray;
    // Coverage 0..1 at (x, y) of the bitmap, 0 outside.
    float at(int x, int y) const
    {
        return (x < 0 || y < 0 || x >= width || y >= rows) ? 0.0f : gray[static_cast<size_t>(y * width + x)] / 255.0f;
    }
};

// A TrueType font file opened through FreeType, rendering anti-aliased glyphs.
class TrueTypeFace {
public:
    explicit TrueTypeFace(const std::string& path);
    ~TrueTypeFace();
    TrueTypeFace(const TrueTypeFace&) = delete;
    TrueTypeFace& operator=(const TrueTypeFace&) = delete;

    // Sets the em size in pixels, horizontally and vertically.
    void setPixelSize(int width, int height);
    // Renders one character at the current size.
    GlyphBitmap render(unsigned code) const;
    // Distance from the baseline up to the top of the line, in pixels.
    int ascender() const;
    // Distance from the baseline down to the bottom of the line, in pixels (positive).
    int descender() const;

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};
