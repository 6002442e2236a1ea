#include "app/gamepad.h"

#include <allegro.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

Gamepad::Gamepad()
{
    // The driver keeps its device open without saying which descriptor it
    // is: the lowest free one just before the install, the device being the
    // first file the driver keeps. The library reads no error from a pad
    // pulled out and keeps its last state, so the game watches that
    // descriptor for the hang-up itself.
    const int lowestFree = open("/dev/null", O_RDONLY);
    if (lowestFree >= 0)
        close(lowestFree);
    install_joystick(JOY_TYPE_AUTODETECT); // without a pad, the library's "none" driver
    if (num_joysticks > 0 && fcntl(lowestFree, F_GETFD) != -1)
        device = lowestFree;
}

Gamepad::~Gamepad()
{
    remove_joystick();
}

PadState Gamepad::poll()
{
    pollfd watch{};
    watch.fd = device; // poll passes over a negative descriptor
    if (::poll(&watch, 1, 0) > 0 && (watch.revents & (POLLHUP | POLLERR | POLLNVAL)))
        pulledOut = true;
    if (pulledOut || poll_joystick() != 0)
        return PadState{};
    return padStateOf(joy[0]);
}
