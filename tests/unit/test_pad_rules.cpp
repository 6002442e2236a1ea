// The gamepad's rules: which sticks are read, what the pad means on each screen, and that only a new press counts.
#include <gtest/gtest.h>

#include <vector>

#include "game/pad_rules.h"

TEST(PadRules, LeftStickAndDpadAreReadTheTriggersNever)
{
    JOYSTICK_INFO pad{}; // Linux's common pad: four sticks of two axes, eleven buttons
    pad.num_sticks = 4, pad.num_buttons = 11;
    for (JOYSTICK_STICK_INFO& stick : pad.stick)
        stick.num_axis = 2;
    pad.stick[1].axis[0].pos = pad.stick[2].axis[1].pos = -128; // the triggers at rest
    pad.stick[1].axis[1].pos = pad.stick[2].axis[0].pos = 128;  // the right stick
    EXPECT_EQ(padStateOf(pad), PadState{});
    pad.stick[0].axis[0].pos = -64; // half way left
    pad.stick[3].axis[1].pos = 64;  // d-pad down
    pad.button[0].b = pad.button[7].b = pad.button[11].b = 1; // the twelfth is no button of this pad
    EXPECT_EQ(padStateOf(pad), (PadState{true, false, false, true, PAD_A | PAD_START}));
    pad.stick[0].axis[0].pos = 63, pad.stick[0].axis[1].pos = -64; // short of half way right, half way up
    pad.stick[3].axis[0].pos = 64, pad.stick[3].axis[1].pos = 0;    // d-pad right
    EXPECT_EQ(padStateOf(pad), (PadState{false, true, true, false, PAD_A | PAD_START}));
    for (int sticks : {3, 5}) { // fewer or more than 8 axes: the first stick only
        pad.num_sticks = sticks;
        EXPECT_EQ(padStateOf(pad), (PadState{false, false, true, false, PAD_A | PAD_START})) << sticks;
    }
}

TEST(PadRules, EachScreenTakesThePadAsItsKeys)
{
    const PadState pad{true, false, false, true, PAD_A | PAD_BACK};
    const PlayKeys play = withPad(PlayKeys{false, true, false}, pad), still = withPad(PlayKeys{}, PadState{});
    const MenuKeys menu = withPad(MenuKeys{false, true, false, true, false}, pad);
    EXPECT_EQ((std::vector<bool>{play.left, play.right, play.fire, menu.down, menu.up, menu.esc, menu.right, menu.left,
                                 still.fire, withPad(MenuKeys{}, PadState{}).esc}), (std::vector<bool>{1, 1, 1, 1, 1, 1, 1, 1, 0, 0}));
    struct Case { PadState pad; bool chooses, entryKey; }; // the menu's ENTER, and what its entry waits out
    for (const Case& c : {Case{{false, false, false, false, PAD_START}, true, true}, {{false, false, true}, false, true},
                          {{false, false, false, false, PAD_BACK}, false, true},
                          {{true, true, false, false, ~(PAD_A | PAD_START | PAD_BACK)}, false, false}}) {
        EXPECT_EQ(padChooses(c.pad), c.chooses) << c.pad.buttons;
        EXPECT_EQ(padHoldsEntryKey(c.pad), c.entryKey) << c.pad.buttons;
    }
    unsigned before = PAD_A; // the A that chose this screen
    EXPECT_EQ(newPresses(before, PadState{false, false, false, false, PAD_A}), 0u);
    EXPECT_EQ(newPresses(before, PadState{}), 0u) << "letting go is no press";
    EXPECT_EQ(newPresses(before, PadState{false, false, false, false, PAD_A | PAD_BACK}), PAD_A | PAD_BACK);
}
