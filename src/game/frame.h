#pragma once

#include <allegro.h>

#include "res/placements.h"

// A screen's own 640x480 off-screen frame, released when the screen ends.
class Frame {
public:
    // Makes the frame and clears it once, so that no screen ever shows
    // uninitialised memory; get() is null when the bitmap could not be made.
    Frame() : bitmap(create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT))
    {
        if (bitmap)
            clear_bitmap(bitmap);
    }
    ~Frame()
    {
        if (bitmap)
            destroy_bitmap(bitmap);
    }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    BITMAP* get() const { return bitmap; }
    explicit operator bool() const { return bitmap != nullptr; }

    // Waits for the retrace and copies the whole frame to the screen.
    void show() const
    {
        vsync();
        blit(bitmap, screen, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    }

private:
    BITMAP* bitmap;
};
