#pragma once

#include <allegro.h>

// The copy of 8-bit 640x480 frames to a window a whole number of times their
// size, each pixel an N x N block of the same colour.

// Rows of the frame widened and copied at a time: few enough that the
// widened rows stay in the processor's cache on their way to the window.
constexpr int GROWN_ROWS_AT_ONCE = 16;

// Grows the rectangle (x, y, w, h) of source into the same rectangle, scaled,
// of target, by way of wide, a memory bitmap as wide as target and a whole
// number of times scale high (best GROWN_ROWS_AT_ONCE times): the rows are
// widened there and go to target as many at a time as wide holds.
void copyGrown(BITMAP* source, BITMAP* wide, BITMAP* target, int scale, int x, int y, int w, int h);

// Copies to target, grown, what differs between frame and shown (the picture
// on target now), band of changed rows by band, and makes shown equal frame.
// Most frames of the menu and the score screens change nothing or little, so
// a grown window costs little more than the 640x480 one.
void copyChanged(BITMAP* frame, BITMAP* shown, BITMAP* wide, BITMAP* target, int scale);
