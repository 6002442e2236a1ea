#include "truetype_face.h"

#include <stdexcept>

TrueTypeFace::TrueTypeFace(const std::string& path)
{
    if (FT_Init_FreeType(&library_))
        throw std::runtime_error("cannot start FreeType");
    if (FT_New_Face(library_, path.c_str(), 0, &face_)) {
        FT_Done_FreeType(library_);
        throw std::runtime_error("cannot open font " + path);
    }
}

TrueTypeFace::~TrueTypeFace()
{
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
}

void TrueTypeFace::setPixelSize(int width, int height)
{
    FT_Set_Pixel_Sizes(face_, static_cast<FT_UInt>(width), static_cast<FT_UInt>(height));
}

GlyphBitmap TrueTypeFace::render(unsigned code) const
{
    if (FT_Load_Char(face_, code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT))
        throw std::runtime_error("cannot render a glyph");
    const FT_GlyphSlot slot = face_->glyph;
    GlyphBitmap g;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(slot->bitmap.width);
    g.rows = static_cast<int>(slot->bitmap.rows);
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    g.gray.resize(static_cast<size_t>(g.width * g.rows));
    for (int y = 0; y < g.rows; ++y)
        for (int x = 0; x < g.width; ++x)
            g.gray[static_cast<size_t>(y * g.width + x)] = slot->bitmap.buffer[y * slot->bitmap.pitch + x];
    return g;
}

int TrueTypeFace::ascender() const
{
    return static_cast<int>((face_->size->metrics.ascender + 63) >> 6);
}

int TrueTypeFace::descender() const
{
    return static_cast<int>((-face_->size->metrics.descender + 63) >> 6);
}
