// Loaded ahead of the library, stand-ins for what a test cannot get from the machine, each while its variable is
// set. VOLLIX_PAD_FIFO: a gamepad at /dev/input/js0 whose js_event records the test writes into that FIFO; the
// ioctls the library asks describe Linux's common pad of 8 axes and 11 buttons, and the writer closing the FIFO
// pulls the pad out. VOLLIX_REFUSE_AFTER: graphics modes fail, as on a display that refuses the window, after that
// many have been set.
#include <allegro.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/joystick.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>

static int pad = -1; // the FIFO standing in for the pad, once opened

extern "C" int open(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const int mode = va_arg(args, int);
    va_end(args);
    static auto next = reinterpret_cast<int (*)(const char*, int, ...)>(dlsym(RTLD_NEXT, "open"));
    const char* fifo = std::getenv("VOLLIX_PAD_FIFO");
    if (!fifo || std::strcmp(path, "/dev/input/js0") != 0)
        return next(path, flags, mode);
    return pad = next(fifo, O_RDONLY | O_NONBLOCK);
}

extern "C" int ioctl(int fd, unsigned long request, ...)
{
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    static auto next = reinterpret_cast<int (*)(int, unsigned long, void*)>(dlsym(RTLD_NEXT, "ioctl"));
    if (fd != pad)
        return next(fd, request, arg);
    if (request == JSIOCGVERSION)
        *static_cast<int*>(arg) = JS_VERSION;
    else if (request == JSIOCGAXES || request == JSIOCGBUTTONS)
        *static_cast<char*>(arg) = request == JSIOCGAXES ? 8 : 11;
    return 0;
}

extern "C" int set_gfx_mode(int card, int w, int h, int vw, int vh)
{
    static const char* after = std::getenv("VOLLIX_REFUSE_AFTER");
    static int allowed = after ? std::atoi(after) : 0;
    static auto next = reinterpret_cast<int (*)(int, int, int, int, int)>(dlsym(RTLD_NEXT, "set_gfx_mode"));
    if (!after || allowed-- > 0)
        return next(card, w, h, vw, vh);
    ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, "Refused for the test");
    return -1;
}
