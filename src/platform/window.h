#pragma once

#include <allegro.h>

#include <string>

// Opens the window at scale times the screen's size; true on success.
bool openWindow(int scale);

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

    // Between two frames, and in the waits that show none: F11, newly down,
    // grows or shrinks the window, which then shows the last picture again.
    void followF11();
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
    // The scale F11 asks for now: 640x480 from a grown window, else the
    // largest the desktop holds.
    int chooseScale() const;
    // Makes the pictures a switch to wanted needs, and keeps the one the
    // player sees when growing; false without the memory for them.
    bool makePictures(int wanted);
    // Switches to wanted, or back to the scale the window had; keeps the
    // palette and drops the focus-out that remapping causes. False when
    // neither could be had: the window is lost and the game asked to leave.
    bool switchTo(int wanted);
    // Shows the kept picture again at the window's new size.
    void repaint();
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
