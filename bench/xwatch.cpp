// Watches an X window for the menu's yellow volume bar, for the measuring
// script. Two uses:
//   vollix_xwatch launch TITLE PROGRAM [ARGS...]
//       starts PROGRAM in its own session and prints "pid=P ms=T": T is the
//       time from exec to the first screenshot with the bar on screen.
//   vollix_xwatch wait TITLE present|absent TIMEOUT_MS
//       waits until the bar is (or is no longer) shown; prints "ms=T".
// Exit status 1 on a timeout.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// The bar of the default volume, 5: x 110..135, y 90..110.
constexpr int BAR_X = 110;
constexpr int BAR_Y = 90;
constexpr int BAR_W = 26;
constexpr int BAR_H = 21;
constexpr unsigned long YELLOW = 0xffff00;

// Windows come and go while we look: ignore the errors that causes.
int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

// The first window under root whose name is title, or None.
Window findWindow(Display* dpy, Window root, const char* title)
{
    Window parent = 0;
    Window rootReturn = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(dpy, root, &rootReturn, &parent, &children, &count))
        return None;
    Window found = None;
    for (unsigned i = 0; i < count && found == None; ++i) {
        char* name = nullptr;
        if (XFetchName(dpy, children[i], &name) && name) {
            if (std::strcmp(name, title) == 0)
                found = children[i];
            XFree(name);
        }
        if (found == None)
            found = findWindow(dpy, children[i], title);
    }
    if (children)
        XFree(children);
    return found;
}

// True when every pixel of the bar's box in the window is pure yellow.
bool barShown(Display* dpy, Window win)
{
    XImage* img = XGetImage(dpy, win, BAR_X, BAR_Y, BAR_W, BAR_H, AllPlanes, ZPixmap);
    if (!img)
        return false;
    bool all = true;
    for (int y = 0; y < BAR_H && all; ++y)
        for (int x = 0; x < BAR_W && all; ++x)
            all = (XGetPixel(img, x, y) & 0xffffff) == YELLOW;
    XDestroyImage(img);
    return all;
}

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// Polls about every half millisecond until the bar's state is wanted, or the timeout.
bool pollBar(Display* dpy, const char* title, bool wanted, double timeoutMs, Clock::time_point t0)
{
    Window win = None;
    while (msSince(t0) < timeoutMs) {
        if (win == None)
            win = findWindow(dpy, DefaultRootWindow(dpy), title);
        if (win != None && barShown(dpy, win) == wanted)
            return true;
        usleep(500);
    }
    return false;
}

int usage()
{
    std::fprintf(stderr, "usage: vollix_xwatch launch TITLE PROGRAM [ARGS...]\n"
                         "       vollix_xwatch wait TITLE present|absent TIMEOUT_MS\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return usage();
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "vollix_xwatch: cannot open display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const std::string mode = argv[1];
    const char* title = argv[2];

    if (mode == "launch") {
        const Clock::time_point t0 = Clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            // Its own session and quiet stdio, so the caller's pipes close when we exit.
            setsid();
            const int quiet = open("/dev/null", O_RDWR);
            dup2(quiet, 0);
            dup2(quiet, 1);
            dup2(quiet, 2);
            execv(argv[3], argv + 3);
            _exit(127);
        }
        const bool seen = pollBar(dpy, title, true, 20000.0, t0);
        std::printf("pid=%d ms=%.1f\n", static_cast<int>(pid), seen ? msSince(t0) : -1.0);
        return seen ? 0 : 1;
    }
    if (mode == "wait" && argc == 5) {
        const bool wanted = std::strcmp(argv[3], "present") == 0;
        const Clock::time_point t0 = Clock::now();
        const bool seen = pollBar(dpy, title, wanted, std::atof(argv[4]), t0);
        std::printf("ms=%.1f\n", msSince(t0));
        return seen ? 0 : 1;
    }
    return usage();
}
