#include "game/pad_rules.h"

#include <string_view>

namespace {
// Half the stick's throw: a stick resting slightly off centre turns nothing.
constexpr int DEFLECTED = 64;
// Axes of the common pad: left stick, left trigger, right stick, right trigger, d-pad.
constexpr int PAD_AXES_WITH_DPAD = 8;
constexpr int DPAD_STICK = 3;
// The order Up steps a character of the name through; Down goes back.
constexpr std::string_view NAME_ORDER = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 ";

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

// The character after c in the name's order, or before it, round the ends;
// one the keyboard typed from outside the order becomes A.
char steppedCharacter(char c, bool up)
{
    const std::size_t at = NAME_ORDER.find(c);
    if (at == std::string_view::npos)
        return NAME_ORDER[0];
    return NAME_ORDER[(at + (up ? 1 : NAME_ORDER.size() - 1)) % NAME_ORDER.size()];
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

PlayKeys withPad(const PlayKeys& keys, const PadState& pad)
{
    return PlayKeys{keys.left || pad.left, keys.right || pad.right, keys.fire || (pad.buttons & PAD_A) != 0};
}

MenuKeys withPad(const MenuKeys& keys, const PadState& pad)
{
    return MenuKeys{keys.down || pad.down, keys.up || pad.up, keys.esc || (pad.buttons & PAD_BACK) != 0,
                    keys.right || pad.right, keys.left || pad.left};
}

bool padChooses(const PadState& pad)
{
    return (pad.buttons & (PAD_A | PAD_START)) != 0;
}

bool padHoldsEntryKey(const PadState& pad)
{
    return padChooses(pad) || pad.up || pad.down || (pad.buttons & PAD_BACK) != 0;
}

unsigned newPresses(unsigned& held, const PadState& pad)
{
    const unsigned pressed = pad.buttons & ~held;
    held = pad.buttons;
    return pressed;
}

int padNameKey(unsigned pressed)
{
    if (pressed & (PAD_A | PAD_START))
        return KEY_ENTER << 8 | '\r';
    if (pressed & PAD_BACK)
        return KEY_ESC << 8 | 27;
    return 0;
}

void applyNamePad(NameEntry& entry, bool& held, const PadState& pad)
{
    const bool pushed = !held;
    held = pad.up || pad.down || pad.left || pad.right;
    if (!pushed || !held)
        return;
    if ((pad.up || pad.down) && entry.length > 0) {
        char& last = entry.name[entry.length - 1];
        last = steppedCharacter(last, pad.up);
    } else if (pad.left) {
        if (entry.length > 0)
            --entry.length;
    } else if (entry.length < HIGH_SCORE_NAME_MAX) { // Right, or Up or Down on an empty name
        entry.name[entry.length] = NAME_ORDER[0];
        ++entry.length;
    }
    entry.name[entry.length] = '\0';
}
