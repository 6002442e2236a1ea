#include "game/pad_rules.h"

#include <string_view>

namespace {
// The order Up steps a character of the name through; Down goes back.
constexpr std::string_view NAME_ORDER = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 ";

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

PlayKeys withPad(const PlayKeys& keys, const PadState& pad)
{
    return PlayKeys{keys.left || pad.left, keys.right || pad.right, keys.fire || (pad.buttons & PAD_A) != 0};
}

MenuKeys withPad(const MenuKeys& keys, const PadState& pad)
{
    return MenuKeys{keys.down || pad.down, keys.up || pad.up, keys.esc || (pad.buttons & PAD_BACK) != 0,
                    keys.right || pad.right, keys.left || pad.left};
}

bool padPauses(const PadState& pad)
{
    return (pad.buttons & PAD_START) != 0;
}

bool padEndsGame(const PadState& pad)
{
    return (pad.buttons & PAD_BACK) != 0;
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
