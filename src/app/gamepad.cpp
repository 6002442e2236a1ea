#include "app/gamepad.h"

#include <allegro.h>
#include <fcntl.h>
#include <poll.h>

#include <vector>

namespace {
// The descriptors the process may have open at start-up, far above what it uses.
constexpr int WATCHED_DESCRIPTORS = 256;

bool isOpen(int fd)
{
    return fcntl(fd, F_GETFD) != -1;
}
} // namespace

Gamepad::Gamepad()
{
    // The driver keeps its device open without telling which descriptor it
    // is; the one that opens during the install is it. The library reads no
    // error from a pad pulled out and keeps its last state, so the game
    // watches that descriptor for the hang-up itself.
    std::vector<bool> before(WATCHED_DESCRIPTORS);
    for (int fd = 0; fd < WATCHED_DESCRIPTORS; ++fd)
        before[fd] = isOpen(fd);
    present = install_joystick(JOY_TYPE_AUTODETECT) == 0 && num_joysticks > 0;
    for (int fd = 0; present && device < 0 && fd < WATCHED_DESCRIPTORS; ++fd)
        if (!before[fd] && isOpen(fd))
            device = fd;
}

Gamepad::~Gamepad()
{
    remove_joystick();
}

PadState Gamepad::poll()
{
    if (present && device >= 0) {
        pollfd watch{device, POLLIN, 0};
        if (::poll(&watch, 1, 0) > 0 && (watch.revents & (POLLHUP | POLLERR | POLLNVAL)))
            present = false;
    }
    if (!present || poll_joystick() != 0)
        return PadState{};
    return padStateOf(joy[0]);
}
