#include "app/scaled_copy.h"

#include <algorithm>
#include <cstring>

namespace {

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

void copyChanged(BITMAP* frame, BITMAP* shown, BITMAP* target, int scale)
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
        const int w = band.last - band.first;
        const int h = y - top;
        stretch_blit(frame, target, band.first, top, w, h, band.first * scale, top * scale, w * scale, h * scale);
    }
}
