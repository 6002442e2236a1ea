#pragma once

#include <allegro.h>

// Copies to target, scale times larger, what differs between frame and shown
// (the picture on target now), band of changed rows by band, and makes shown
// equal frame. Most frames change a small part of the picture, and the
// library's conversion for the X server costs by the pixel, so a grown window
// costs little more than the 640x480 one.
void copyChanged(BITMAP* frame, BITMAP* shown, BITMAP* target, int scale);
