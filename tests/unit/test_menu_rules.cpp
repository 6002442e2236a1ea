#include <gtest/gtest.h>

#include "fake_resources.h"
#include "game/menu.h"

namespace {

constexpr MenuKeys NO_KEYS{false, false, false, false, false};
constexpr MenuKeys DOWN{true, false, false, false, false};
constexpr MenuKeys UP{false, true, false, false, false};
constexpr MenuKeys ESC{false, false, true, false, false};
constexpr MenuKeys RIGHT{false, false, false, true, false};
constexpr MenuKeys LEFT{false, false, false, false, true};

// One press: a frame with the key down, then a frame with all keys up.
bool press(MenuState& state, const MenuKeys& keys)
{
    const bool leave = applyMenuKeys(state, keys);
    applyMenuKeys(state, NO_KEYS);
    return leave;
}

MenuState at(MenuItem item)
{
    MenuState state;
    state.item = item;
    return state;
}

} // namespace

TEST(MenuKeys, CursorStopsAtBothEnds)
{
    MenuState state;
    press(state, UP);
    EXPECT_EQ(state.item, MenuItem::Play);
    for (int i = 0; i < 6; ++i)
        press(state, DOWN);
    EXPECT_EQ(state.item, MenuItem::Exit);
    press(state, UP);
    EXPECT_EQ(state.item, MenuItem::Sound);
}

TEST(MenuKeys, EachPressActsOnceUntilAllGuardedKeysAreUp)
{
    MenuState state;
    EXPECT_FALSE(applyMenuKeys(state, DOWN));
    EXPECT_FALSE(applyMenuKeys(state, DOWN));
    EXPECT_FALSE(applyMenuKeys(state, MenuKeys{true, false, false, true, false}));
    EXPECT_EQ(state.item, MenuItem::Preset);
    applyMenuKeys(state, NO_KEYS);
    applyMenuKeys(state, DOWN);
    EXPECT_EQ(state.item, MenuItem::Highscores);
}

TEST(MenuKeys, DownAndUpInOneFrameBothAct)
{
    MenuState state = at(MenuItem::Sound);
    press(state, MenuKeys{true, true, false, false, false});
    EXPECT_EQ(state.item, MenuItem::Sound);
    state = at(MenuItem::Play);
    press(state, MenuKeys{true, true, false, false, false});
    EXPECT_EQ(state.item, MenuItem::Play);
}

TEST(MenuKeys, EscapeGoesToExitThenLeaves)
{
    MenuState state = at(MenuItem::Preset);
    EXPECT_FALSE(press(state, ESC));
    EXPECT_EQ(state.item, MenuItem::Exit);
    EXPECT_TRUE(press(state, ESC));
    // Held ESC does not leave: it takes a release first.
    state = at(MenuItem::Play);
    EXPECT_FALSE(applyMenuKeys(state, ESC));
    EXPECT_FALSE(applyMenuKeys(state, ESC));
    // DOWN and ESC together on Sound: Exit, and out.
    state = at(MenuItem::Sound);
    EXPECT_TRUE(applyMenuKeys(state, MenuKeys{true, false, true, false, false}));
    EXPECT_EQ(state.item, MenuItem::Exit);
}

TEST(MenuKeys, PresetAndVolumeChangeOnlyOnTheirOwnRowWithinBounds)
{
    MenuState state = at(MenuItem::Preset);
    for (int i = 0; i < 5; ++i)
        press(state, RIGHT);
    EXPECT_EQ(state.presetIndex, 3);
    for (int i = 0; i < 5; ++i)
        press(state, LEFT);
    EXPECT_EQ(state.presetIndex, 0);
    EXPECT_EQ(state.volume, 5);

    state = at(MenuItem::Sound);
    for (int i = 0; i < 8; ++i)
        press(state, RIGHT);
    EXPECT_EQ(state.volume, 10);
    for (int i = 0; i < 12; ++i)
        press(state, LEFT);
    EXPECT_EQ(state.volume, 0);
    EXPECT_EQ(state.presetIndex, 1);

    for (MenuItem item : {MenuItem::Play, MenuItem::Highscores, MenuItem::Exit}) {
        state = at(item);
        press(state, RIGHT);
        press(state, LEFT);
        press(state, LEFT);
        EXPECT_EQ(state.presetIndex, 1);
        EXPECT_EQ(state.volume, 5);
    }
}

TEST(MenuDrawing, CursorRowAndVolumeBarOrOff)
{
    FakeResources fake;
    BITMAP* frame = create_bitmap(640, 480);
    BITMAP* cursor = static_cast<BITMAP*>(fake.data()[RES_CURSOR].dat);
    const int yellow = makecol(255, 255, 0);
    ASSERT_EQ(yellow, FAKE_YELLOW);

    clear_bitmap(frame);
    drawMenu(frame, font, cursor, MenuItem::Sound, "Normal", 10);
    EXPECT_EQ(getpixel(frame, 10, 87), FAKE_CURSOR);
    EXPECT_NE(getpixel(frame, 10, 86), FAKE_CURSOR);
    EXPECT_NE(getpixel(frame, 9, 87), FAKE_CURSOR);
    EXPECT_EQ(getpixel(frame, 110, 90), yellow);
    EXPECT_EQ(getpixel(frame, 160, 110), yellow);
    EXPECT_NE(getpixel(frame, 161, 110), yellow);
    EXPECT_NE(getpixel(frame, 160, 111), yellow);

    clear_bitmap(frame);
    drawMenu(frame, font, cursor, MenuItem::Play, "Normal", 0);
    EXPECT_EQ(getpixel(frame, 10, 12), FAKE_CURSOR);
    int yellowPixels = 0;
    int offPixels = 0;
    for (int y = 85; y < 111; ++y)
        for (int x = 110; x < 170; ++x) {
            yellowPixels += getpixel(frame, x, y) == yellow;
            offPixels += getpixel(frame, x, y) != 0;
        }
    EXPECT_EQ(yellowPixels, 0);
    EXPECT_GT(offPixels, 10) << "\"Off\" stands where the bar was";
    destroy_bitmap(frame);
}
