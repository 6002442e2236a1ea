// The menu's key rules, its picture, and whole visits through the seam.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "game/menu.h"
#include "game_fixture.h"

namespace {

// Runs frames from a state; each word names the keys held in one frame
// (D U E R L for DOWN UP ESC RIGHT LEFT, - for none). True when the last frame left.
bool frames(MenuState& state, const std::string& script)
{
    std::istringstream words(script);
    bool left = false;
    for (std::string w; words >> w;)
        left = applyMenuKeys(state, {w.find('D') != w.npos, w.find('U') != w.npos, w.find('E') != w.npos,
                                     w.find('R') != w.npos, w.find('L') != w.npos});
    return left;
}

// Taps ESC from the given frame on: to Exit, then out.
void escapeFrom(int frame, int now)
{
    key[KEY_ESC] = now >= frame && (now - frame) % 2 == 0;
}

} // namespace

TEST(MenuKeys, EachPressActsOnceWithinTheMenusBounds)
{
    using I = MenuItem;
    struct Case { MenuItem from; const char* script; MenuItem item; int preset, volume; bool leaves; };
    for (const Case& c : {Case{I::Play, "U -", I::Play, 1, 5, false}, {I::Play, "D - D - D - D - D -", I::Exit, 1, 5, false},
                          {I::Exit, "U", I::Sound, 1, 5, false}, {I::Play, "D D DR - D", I::Highscores, 1, 5, false},
                          {I::Preset, "E", I::Exit, 1, 5, false}, {I::Exit, "E", I::Exit, 1, 5, true},
                          {I::Play, "E E", I::Exit, 1, 5, false}, {I::Sound, "DE", I::Exit, 1, 5, true},
                          {I::Preset, "R - R - R -", I::Preset, 3, 5, false}, {I::Preset, "L - L -", I::Preset, 0, 5, false},
                          {I::Sound, "R - R - R - R - R - R -", I::Sound, 1, 10, false},
                          {I::Sound, "L - L - L - L - L - L -", I::Sound, 1, 0, false}, {I::Sound, "L L", I::Sound, 1, 4, false},
                          {I::Sound, "R R", I::Sound, 1, 6, false}, {I::Highscores, "R - L - L -", I::Highscores, 1, 5, false}}) {
        MenuState state;
        state.item = c.from;
        const bool leaves = frames(state, c.script);
        EXPECT_TRUE(state.item == c.item && state.presetIndex == c.preset && state.volume == c.volume && leaves == c.leaves)
            << c.script << " from " << static_cast<int>(c.from);
    }
}

TEST(MenuPicture, CursorOnItsRowAndTheVolumeBarOrOff)
{
    FakeResources fake;
    BITMAP* frame = create_bitmap(640, 480);
    for (int volume : {10, 0}) { // the cursor on Sound, then on Play
        clear_bitmap(frame);
        const int row = volume ? 3 : 0;
        drawMenu(frame, font, static_cast<BITMAP*>(fake.data()[RES_CURSOR].dat), MenuItem(row), "Normal", volume);
        EXPECT_TRUE(getpixel(frame, 10, 12 + 25 * row) == FAKE_CURSOR && getpixel(frame, 10, 11 + 25 * row) == 0);
        int yellow = 0, ink = 0;
        for (int y = 85; y < 112; ++y)
            for (int x = 110; x < 170; ++x) {
                yellow += getpixel(frame, x, y) == FAKE_YELLOW;
                ink += getpixel(frame, x, y) != 0;
            }
        EXPECT_EQ(yellow, volume ? 51 * 21 : 0) << "the bar from (110, 90) to (160, 110), both corners included";
        EXPECT_GT(ink, 10) << "\"Off\" stands where the bar was";
    }
    destroy_bitmap(frame);
}

TEST_F(GameTest, MenuWaitsForKeysHeldFromTheLastScreen)
{
    for (int held : {KEY_ESC, KEY_ENTER, KEY_DOWN, KEY_UP}) {
        seam::reset();
        key[held] = 1;
        seam::onRest = [held](int) { key[held] = 0; };
        seam::onFrame = [](int frame) { escapeFrom(1, frame); };
        EXPECT_TRUE(game->runMenu());
        EXPECT_TRUE(seam::rests > 0 && seam::frames == 3) << held;
    }
}

TEST_F(GameTest, HeldTabDrawsNewStarsOnEveryFrame)
{
    std::vector<unsigned char> seen;
    int changes = 0;
    key[KEY_TAB] = 1;
    seam::onFrame = [&](int frame) {
        std::vector<unsigned char> now;
        for (int y = 0; y < 480; ++y)
            now.insert(now.end(), game->background->line[y], game->background->line[y] + 640);
        changes += frame > 1 && now != seen;
        seen = now;
        key[KEY_TAB] = frame < 3;
        escapeFrom(3, frame);
    };
    EXPECT_TRUE(game->runMenu());
    EXPECT_EQ(changes, 2);
}

TEST_F(GameTest, EnterOnHighscoresShowsTheTableUntilAKeyAndLeavesNoneWaiting)
{
    int tableFrames = 0;
    seam::onFrame = [&](int frame) {
        key[KEY_DOWN] = frame == 1 || frame == 3;
        key[KEY_ENTER] = frame == 5;
        tableFrames += frame > 5;
        if (frame > 5)
            seam::type(KEY_X << 8 | 'x');
    };
    EXPECT_FALSE(game->runMenu());
    EXPECT_EQ(tableFrames, 1);
    EXPECT_NE(getpixel(screen, 10, 62), FAKE_CURSOR) << "the table, not the menu";
    EXPECT_FALSE(keypressed());
}
