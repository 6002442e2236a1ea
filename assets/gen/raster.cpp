#include "raster.h"

#include <algorithm>
#include <cmath>

float coverage(int x, int y, const std::function<bool(float, float)>& inside)
{
    int hits = 0;
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
            if (inside(x + (sx + 0.5f) / 4.0f, y + (sy + 0.5f) / 4.0f))
                ++hits;
    return hits / 16.0f;
}

bool insidePolygon(const Polygon& poly, float px, float py)
{
    bool in = false;
    const size_t n = poly.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const float xi = poly[i].first, yi = poly[i].second;
        const float xj = poly[j].first, yj = poly[j].second;
        if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi)
            in = !in;
    }
    return in;
}

FloatGrid dilate(const FloatGrid& mask, float radius)
{
    FloatGrid out(mask.width(), mask.height());
    const int r = static_cast<int>(std::ceil(radius)) + 1;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) {
            float best = 0.0f;
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    const float weight = std::clamp(radius + 0.5f - std::sqrt(float(dx * dx + dy * dy)), 0.0f, 1.0f);
                    best = std::max(best, mask.at(x + dx, y + dy) * weight);
                }
            out.raise(x, y, best);
        }
    return out;
}
