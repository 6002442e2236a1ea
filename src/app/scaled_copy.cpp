#include "app/scaled_copy.h"

#include <algorithm>
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

// The columns [first, last) in which row y of frame and shown differ; empty when the rows are equal.
struct Span {
    int first;
    int last;
};
Span changedColumns(BITMAP* frame, BITMAP* shown, int y)
{
    const unsigned char* a = frame->line[y];
    const unsigned char* b = shown->line[y];
    Span span{0, frame->w};
    while (span.first < span.last && a[span.first] == b[span.first])
        ++span.first;
    while (span.last > span.first && a[span.last - 1] == b[span.last - 1])
        --span.last;
    return span;
}

} // namespace

void copyGrown(BITMAP* source, BITMAP* wide, BITMAP* target, int scale, int x, int y, int w, int h)
{
    const int atOnce = wide->h / scale;
    for (int top = y; top < y + h; top += atOnce) {
        const int rows = std::min(atOnce, y + h - top);
        for (int row = 0; row < rows; ++row) {
            unsigned char* first = wide->line[row * scale] + x * scale;
            widen(source->line[top + row] + x, first, w, scale);
            for (int k = 1; k < scale; ++k)
                std::memcpy(wide->line[row * scale + k] + x * scale, first, w * scale);
        }
        blit(wide, target, x * scale, 0, x * scale, top * scale, w * scale, rows * scale);
    }
}

void copyChanged(BITMAP* frame, BITMAP* shown, BITMAP* wide, BITMAP* target, int scale)
{
    for (int y = 0; y < frame->h;) {
        Span row = changedColumns(frame, shown, y);
        if (row.first == row.last) {
            ++y;
            continue;
        }
        // A band: this row and the changed rows right below it, over the
        // columns any of them changed in.
        const int top = y;
        Span band = row;
        do {
            band = Span{std::min(band.first, row.first), std::max(band.last, row.last)};
            std::memcpy(shown->line[y], frame->line[y], frame->w);
            ++y;
            row = y < frame->h ? changedColumns(frame, shown, y) : Span{0, 0};
        } while (row.first != row.last);
        copyGrown(frame, wide, target, scale, band.first, top, band.last - band.first, y - top);
    }
}
