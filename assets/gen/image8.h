#pragma once

#include <string>
#include <vector>

class PaletteMap;

// A paletted picture: one palette index per pixel, 0 being transparent.
class Image8 {
public:
    Image8(int width, int height, int fill = 0);
    int width() const { return width_; }
    int height() const { return height_; }
    // Index at (x, y), or 0 outside the picture.
    int get(int x, int y) const;
    // Sets (x, y) to an index; points outside are ignored.
    void set(int x, int y, int index);
    // Writes the picture with the given palette as an 8-bit BMP file.
    void save(const std::string& path, const PaletteMap& palette) const;

private:
    int width_;
    int height_;
    std::vector<unsigned char> pixels_;
};
