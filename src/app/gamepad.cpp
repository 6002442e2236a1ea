#include "app/gamepad.h"

#include <allegro.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <array>

Gamepad::Gamepad()
{
    // The driver keeps its device open without saying which descriptor it
    // is: the lowest free one just before the install, the device being the
    // first file the driver keeps. The library reads no error from a pad
    // pulled out and keeps its last state, so the game watches that
    // descriptor for the hang-up itself.
    const int lowestFree = open("/dev/null", O_RDONLY);
    close(lowestFree);
    install_joystick(JOY_TYPE_AUTODETECT); // without a pad, the library's "none" driver
    if (num_joysticks > 0)
        device = lowestFree;
}

PadState Gamepad::poll()
{
    std::array<pollfd, 1> watch{}; // asks for nothing: a hang-up or an error is always told
    watch[0].fd = device;           // poll passes over a negative descriptor
    ::poll(watch.data(), watch.size(), 0);
    pulledOut = pulledOut || (watch[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    if (pulledOut || poll_joystick() != 0)
        return PadState{};
    return padStateOf(joy[0]);
}
