#include "platform/scaled_copy.h"

#include <algorithm>
#include <cstring>

namespace {
// Columns are compared in strips this wide: troopers side by side then make
// pieces as wide as themselves, not bands as wide as the sky. Narrower strips
// cost more in calls to the X server than they save in pixels.
constexpr int STRIP = 64;

// The columns [first, last) of [left, right) in which row y of frame and shown differ; empty when they are equal.
struct Span {
    int first;
    int last;
};
Span changedColumns(BITMAP* frame, BITMAP* shown, int y, int left, int right)
{
    const unsigned char* a = frame->line[y];
    const unsigned char* b = shown->line[y];
    if (std::memcmp(a + left, b + left, right - left) == 0)
        return Span{left, left}; // most rows: memcmp finds them many times faster than the loops below
    Span span{left, right};
    while (span.first < span.last && a[span.first] == b[span.first])
        ++span.first;
    while (span.last > span.first && a[span.last - 1] == b[span.last - 1])
        --span.last;
    return span;
}

// Copies the changed bands of the columns [left, right), grown, to target.
void copyStrip(BITMAP* frame, BITMAP* shown, BITMAP* grown, BITMAP* target, int scale, int left, int right)
{
    for (int y = 0; y < frame->h;) {
        Span row = changedColumns(frame, shown, y, left, right);
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
            std::memcpy(shown->line[y] + row.first, frame->line[y] + row.first, row.last - row.first);
            ++y;
            row = y < frame->h ? changedColumns(frame, shown, y, left, right) : Span{0, 0};
        } while (row.first != row.last);
        const int x = band.first * scale;
        const int w = band.last - band.first;
        const int h = y - top;
        stretch_blit(frame, grown, band.first, top, w, h, x, top * scale, w * scale, h * scale);
        blit(grown, target, x, top * scale, x, top * scale, w * scale, h * scale);
    }
}
} // namespace

void copyChanged(BITMAP* frame, BITMAP* shown, BITMAP* grown, BITMAP* target, int scale)
{
    for (int left = 0; left < frame->w; left += STRIP)
        copyStrip(frame, shown, grown, target, scale, left, std::min(left + STRIP, frame->w));
}
