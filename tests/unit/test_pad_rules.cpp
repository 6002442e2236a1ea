// The gamepad's rules: which sticks are read, and what the pad means on each screen.
#include <gtest/gtest.h>

#include <vector>

#include "game/pad_rules.h"

namespace {
// A pad of sticks with the given axes each, all centred, no button held.
JOYSTICK_INFO padOf(std::initializer_list<int> axes, int buttons)
{
    JOYSTICK_INFO pad{};
    for (int axisCount : axes)
        pad.stick[pad.num_sticks++].num_axis = axisCount;
    pad.num_buttons = buttons;
    return pad;
}

// left, right, up, down and the buttons, in the order PadState keeps them.
PadState held(bool left, bool right, bool up, bool down, unsigned buttons = 0)
{
    return PadState{left, right, up, down, buttons};
}
} // namespace

TEST(PadRules, LeftStickAndDpadAreReadTheTriggersNever)
{
    JOYSTICK_INFO pad = padOf({2, 2, 2, 2}, 11); // Linux's common pad: 8 axes
    pad.stick[1].axis[0].pos = pad.stick[2].axis[1].pos = -128; // the triggers at rest
    pad.stick[1].axis[1].pos = pad.stick[2].axis[0].pos = 128;  // the right stick
    EXPECT_EQ(padStateOf(pad), held(false, false, false, false));
    pad.stick[0].axis[0].pos = -64; // half way left
    pad.stick[3].axis[1].pos = 128; // d-pad down
    pad.button[0].b = pad.button[7].b = 1;
    EXPECT_EQ(padStateOf(pad), held(true, false, false, true, PAD_A | PAD_START));
    pad.stick[0].axis[0].pos = 63;
    pad.stick[0].axis[1].pos = -64;
    pad.stick[3].axis[1].pos = 0;
    pad.stick[3].axis[0].pos = 64;
    EXPECT_EQ(padStateOf(pad), held(false, true, true, false, PAD_A | PAD_START));

    JOYSTICK_INFO small = padOf({2, 2, 2}, 2); // fewer than 8 axes: the first stick only
    small.stick[2].axis[0].pos = small.stick[1].axis[1].pos = 128;
    small.stick[0].axis[1].pos = 100;
    EXPECT_EQ(padStateOf(small), held(false, false, false, true));
}

TEST(PadRules, EachScreenTakesThePadAsItsKeys)
{
    const PadState pad = held(true, false, false, true, PAD_A | PAD_BACK);
    const PlayKeys play = withPad(PlayKeys{false, true, false}, pad);
    EXPECT_EQ((std::vector<bool>{play.left, play.right, play.fire}), (std::vector<bool>{true, true, true}));
    const MenuKeys menu = withPad(MenuKeys{false, true, false, true, false}, pad);
    EXPECT_EQ((std::vector<bool>{menu.down, menu.up, menu.esc, menu.right, menu.left}), std::vector<bool>(5, true));
    MenuState state; // a push held moves the cursor by one
    for (int frame = 0; frame < 3; ++frame)
        applyMenuKeys(state, withPad(MenuKeys{}, held(false, false, false, true)));
    EXPECT_EQ(state.item, MenuItem::Preset);
    EXPECT_TRUE(padChooses(held(false, false, false, false, PAD_START)));
    EXPECT_FALSE(padChooses(held(false, false, false, false, 1u << 1)));
    EXPECT_TRUE(padHoldsEntryKey(held(false, false, true, false)));
    EXPECT_TRUE(padHoldsEntryKey(held(false, false, false, false, PAD_BACK)));
    EXPECT_FALSE(padHoldsEntryKey(held(true, true, false, false, 1u << 1)));
}

TEST(PadRules, WaitsAndTheNameEntryTakeOnlyNewPresses)
{
    unsigned before = PAD_A; // the A that chose this screen
    EXPECT_EQ(newPresses(before, held(false, false, false, false, PAD_A)), 0u);
    EXPECT_EQ(newPresses(before, PadState{}), 0u) << "letting go is no press";
    EXPECT_EQ(newPresses(before, held(false, false, false, false, PAD_A | PAD_BACK)), PAD_A | PAD_BACK);
    EXPECT_EQ(before, PAD_A | PAD_BACK);
    EXPECT_EQ(padNameKey(PAD_A), KEY_ENTER << 8 | '\r');
    EXPECT_EQ(padNameKey(PAD_START | PAD_BACK), KEY_ENTER << 8 | '\r');
    EXPECT_EQ(padNameKey(PAD_BACK), KEY_ESC << 8 | 27);
    EXPECT_EQ(padNameKey(1u << 1), 0);
}
