#include "platform/gamepad.h"

#include <allegro.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <array>

namespace {
// Half the stick's throw: a stick resting slightly off centre turns nothing.
constexpr int DEFLECTED = 64;
// Axes of the common pad: left stick, left trigger, right stick, right trigger, d-pad.
constexpr int PAD_AXES_WITH_DPAD = 8;
constexpr int DPAD_STICK = 3;

// Adds the direction a stick points to. An axis a stick lacks stays
// centred, as the library never moves it.
void addStick(PadState& state, const JOYSTICK_STICK_INFO& stick)
{
    const int x = stick.axis[0].pos;
    const int y = stick.axis[1].pos;
    state.left = state.left || x <= -DEFLECTED;
    state.right = state.right || x >= DEFLECTED;
    state.up = state.up || y <= -DEFLECTED;
    state.down = state.down || y >= DEFLECTED;
}
} // namespace

PadState padStateOf(const JOYSTICK_INFO& pad)
{
    PadState state;
    int axes = 0;
    for (int s = 0; s < pad.num_sticks; ++s)
        axes += pad.stick[s].num_axis;
    addStick(state, pad.stick[0]); // centred on a pad without sticks
    if (axes == PAD_AXES_WITH_DPAD)
        addStick(state, pad.stick[DPAD_STICK]);
    for (int b = 0; b < pad.num_buttons; ++b) // the library keeps it within 32
        if (pad.button[b].b)
            state.buttons |= 1u << b;
    return state;
}

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
