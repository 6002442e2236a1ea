#include "app/scaled_copy.h"

#include <cstdint>
#include <cstring>

namespace {

// Writes each of the w bytes of from scale times over, at to.
void widen(const unsigned char* from, unsigned char* to, int w, int scale)
{
    const int end = w * scale;
    int i = 0;
    // Eight copies of a byte go in one store; what a store writes beyond its
    // pixel is the next pixel's place, which that pixel's own write covers.
    for (; scale <= 8 && i * scale + 8 <= end; ++i) {
        const std::uint64_t eight = from[i] * 0x0101010101010101ull;
        std::memcpy(to + i * scale, &eight, sizeof eight);
    }
    for (; i < w; ++i)
        std::memset(to + i * scale, from[i], scale);
}

// Columns [first, last) where two rows of width bytes differ; first == last when they are equal.
void changedColumns(const unsigned char* a, const unsigned char* b, int width, int& first, int& last)
{
    first = 0;
    while (first < width && a[first] == b[first])
        ++first;
    last = width;
    while (last > first && a[last - 1] == b[last - 1])
        --last;
}

} // namespace

void copyGrown(BITMAP* source, BITMAP* wide, BITMAP* target, int scale, int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0)
        return;
    for (int row = y; row < y + h; ++row) {
        widen(source->line[row] + x, wide->line[row * scale] + x * scale, w, scale);
        for (int k = 1; k < scale; ++k)
            std::memcpy(wide->line[row * scale + k] + x * scale, wide->line[row * scale] + x * scale, w * scale);
    }
    blit(wide, target, x * scale, y * scale, x * scale, y * scale, w * scale, h * scale);
}

void copyChanged(BITMAP* frame, BITMAP* shown, BITMAP* wide, BITMAP* target, int scale)
{
    const int width = frame->w;
    for (int y = 0; y < frame->h;) {
        int first = 0;
        int last = 0;
        changedColumns(frame->line[y], shown->line[y], width, first, last);
        if (first == last) {
            ++y;
            continue;
        }
        // A band: this row and the changed rows right below it, over the
        // columns any of them changed in.
        const int top = y;
        int left = first;
        int right = last;
        do {
            left = first < left ? first : left;
            right = last > right ? last : right;
            std::memcpy(shown->line[y], frame->line[y], width);
            ++y;
            if (y < frame->h)
                changedColumns(frame->line[y], shown->line[y], width, first, last);
        } while (y < frame->h && first != last);
        copyGrown(frame, wide, target, scale, left, top, right - left, y - top);
    }
}
