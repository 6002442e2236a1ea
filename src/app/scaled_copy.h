#pragma once

#include <allegro.h>

// The copy of 8-bit 640x480 frames to a window a whole number of times their
// size, each pixel an N x N block of the same colour.

// Grows the rectangle (x, y, w, h) of source into the same rectangle, scaled,
// of target, by way of wide, a memory bitmap of target's size: the rows are
// widened there and go to target in one copy.
void copyGrown(BITMAP* source, BITMAP* wide, BITMAP* target, int scale, int x, int y, int w, int h);

// Copies to target, grown, what differs between frame and shown (the picture
// on target now), band of changed rows by band, and makes shown equal frame.
// Most frames of the menu and the score screens change nothing or little, so
// a grown window costs little more than the 640x480 one.
void copyChanged(BITMAP* frame, BITMAP* shown, BITMAP* wide, BITMAP* target, int scale);
