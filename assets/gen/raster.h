#pragma once

#include <functional>
#include <utility>
#include <vector>

using Polygon = std::vector<std::pair<float, float>>;

// Share of pixel (x, y) inside a shape, measured on a 4x4 grid of sample points.
float coverage(int x, int y, const std::function<bool(float, float)>& inside);

// Whether the point (px, py) lies inside the polygon (even-odd rule).
bool insidePolygon(const Polygon& poly, float px, float py);

// A grid of floats, used for glyph coverage and alpha masks; reads outside give 0.
class FloatGrid {
public:
    FloatGrid(int width, int height) : width_(width), height_(height), cells_(static_cast<size_t>(width * height), 0.0f) {}
    int width() const { return width_; }
    int height() const { return height_; }
    // Value at (x, y), 0 outside.
    float at(int x, int y) const
    {
        return (x < 0 || y < 0 || x >= width_ || y >= height_) ? 0.0f : cells_[static_cast<size_t>(y * width_ + x)];
    }
    // Sets (x, y) to the larger of its value and v; points outside are ignored.
    void raise(int x, int y, float v)
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return;
        float& c = cells_[static_cast<size_t>(y * width_ + x)];
        if (v > c)
            c = v;
    }

private:
    int width_;
    int height_;
    std::vector<float> cells_;
};

// Grows a mask by a disc of the given radius, with a soft one-pixel rim.
FloatGrid dilate(const FloatGrid& mask, float radius);
