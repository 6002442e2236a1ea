// Loaded ahead of the library, this stands in for a gamepad at /dev/input/js0:
// opening the device opens the FIFO named by VOLLIX_PAD_FIFO, whose writer (the
// test) sends js_event records, and the joystick ioctls describe Linux's common
// pad of 8 axes and 11 buttons. The writer closing the FIFO pulls the pad out.
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/joystick.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {
int pad = -1;
} // namespace

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
    if (fd != pad || pad < 0)
        return next(fd, request, arg);
    if (request == JSIOCGVERSION)
        *static_cast<int*>(arg) = JS_VERSION;
    else if (request == JSIOCGAXES || request == JSIOCGBUTTONS)
        *static_cast<char*>(arg) = request == JSIOCGAXES ? 8 : 11;
    else if (_IOC_NR(request) == _IOC_NR(JSIOCGNAME(0)))
        std::strncpy(static_cast<char*>(arg), "Stand-in pad", _IOC_SIZE(request));
    return 0;
}
