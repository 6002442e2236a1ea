#pragma once

#include <allegro.h>

// Copies to target, scale times larger, what differs between frame and shown
// (the picture on target now), and makes shown equal frame. The picture is
// compared in narrow strips of columns, each strip's changed rows in bands:
// most frames change a small part of the picture, and the library converts
// for the X server whatever reaches the screen, so a grown window costs
// little more than the 640x480 one. Each band is stretched into grown (a
// memory bitmap of target's size) and copied from there, because the
// library's stretch straight to the screen converts whole rows of the window.
void copyChanged(BITMAP* frame, BITMAP* shown, BITMAP* grown, BITMAP* target, int scale);
