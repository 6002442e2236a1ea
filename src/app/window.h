#pragma once

#include <allegro.h>

#include <string>

// The game's window, 640x480 or grown by F11 to the largest whole multiple
// of that size the desktop holds. Owned by main, lent to the Game; every
// screen's frame reaches the screen through present.
class Window {
public:
    // Keeps F11 out of the key buffer. The window itself is opened by main.
    Window();
    // Lets F11 through again.
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Between two frames: F11 grows or shrinks the window, which then shows
    // the last picture again. Waits that show no frames call it too.
    void betweenFrames();
    // Waits for the retrace and copies the frame: whole at 640x480, grown
    // (what changed since the last frame) in a larger window.
    void present(BITMAP* frame);
    // True once no window could be had any more; the game then leaves.
    bool lost() const { return !lostReason.empty(); }
    // The library's reason why the window was lost, and the size it tried.
    const std::string& reason() const { return lostReason; }
    // Releases the pictures kept for a grown window while the library is up.
    void releaseBitmaps();

private:
    // Switches between 640x480 and the largest size the desktop holds.
    void toggle();
    // Waits for and drops the focus-out that remapping the window causes.
    static void settleFocus();
    // Frees the grown picture, which only a grown window uses.
    void releaseGrown();

    int scale = 1;
    bool f11Held = false;
    BITMAP* shown = nullptr; // the last frame shown in a grown window
    BITMAP* grown = nullptr; // that frame grown, the window's size, while it is grown
    std::string lostReason;
};
