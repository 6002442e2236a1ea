#include "image8.h"

#include <stdexcept>

#include <allegro.h>

#include "palette_map.h"

Image8::Image8(int width, int height, int fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width * height), static_cast<unsigned char>(fill))
{
}

int Image8::get(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    return pixels_[static_cast<size_t>(y * width_ + x)];
}

void Image8::set(int x, int y, int index)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    pixels_[static_cast<size_t>(y * width_ + x)] = static_cast<unsigned char>(index);
}

void Image8::save(const std::string& path, const PaletteMap& palette) const
{
    BITMAP* bmp = create_bitmap_ex(8, width_, height_);
    if (!bmp)
        throw std::runtime_error("cannot create bitmap for " + path);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            _putpixel(bmp, x, y, get(x, y));
    PALETTE pal;
    palette.toAllegro(pal);
    const int failed = save_bitmap(path.c_str(), bmp, pal);
    destroy_bitmap(bmp);
    if (failed)
        throw std::runtime_error("cannot write " + path);
}
