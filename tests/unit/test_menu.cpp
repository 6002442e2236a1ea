// The menu's key rules, its picture, and whole visits through the seam.

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "game/menu.h"
#include "game_fixture.h"

// Each word names the keys held in a frame: D U E R L N T for DOWN UP ESC RIGHT LEFT ENTER TAB, - none.
static std::vector<std::string> words(const std::string& script)
{
    std::istringstream in(script);
    return {std::istream_iterator<std::string>(in), {}};
}

// A retrace hook: after frame n, the keys of word n are held; ENTER, and X, reach the key buffer.
static std::function<void(int)> holding(const std::string& script)
{
    return [w = words(script)](int frame) {
        const std::string now = frame <= int(w.size()) ? w[frame - 1] : "";
        for (auto [letter, k] : {std::pair{'D', KEY_DOWN}, {'U', KEY_UP}, {'E', KEY_ESC}, {'R', KEY_RIGHT},
                                 {'L', KEY_LEFT}, {'N', KEY_ENTER}, {'T', KEY_TAB}})
            key[k] = now.find(letter) != now.npos;
        for (auto [letter, typed] : {std::pair{'N', KEY_ENTER << 8 | 13}, {'X', KEY_X << 8 | 'x'}})
            if (now.find(letter) != now.npos)
                seam::type(typed);
    };
}

TEST(MenuKeys, EachPressActsOnceWithinTheMenusBounds)
{
    using I = MenuItem;
    struct Case { MenuItem from; const char* script; MenuItem item; int preset, volume; bool leaves; };
    for (const Case& c : {Case{I::Play, "D - D - D - D - D -", I::Exit, 1, 5, false}, {I::Preset, "E", I::Exit, 1, 5, false},
                          {I::Exit, "U - U - U - U - U", I::Play, 1, 5, false}, {I::Play, "D D DR - D", I::Highscores, 1, 5, false},
                          {I::Exit, "E", I::Exit, 1, 5, true}, {I::Play, "E E", I::Exit, 1, 5, false}, {I::Sound, "DE", I::Exit, 1, 5, true},
                          {I::Preset, "R - R - R -", I::Preset, 3, 5, false}, {I::Preset, "L - L -", I::Preset, 0, 5, false},
                          {I::Sound, "R - R - R - R - R - R -", I::Sound, 1, 10, false}, {I::Sound, "L L", I::Sound, 1, 4, false},
                          {I::Sound, "L - L - L - L - L - L -", I::Sound, 1, 0, false}, {I::Sound, "R R", I::Sound, 1, 6, false},
                          {I::Highscores, "R - L - L -", I::Highscores, 1, 5, false}}) {
        MenuState state;
        state.item = c.from;
        bool leaves = false; // a frame at a time; true when the last one left
        for (const std::string& w : words(c.script))
            leaves = applyMenuKeys(state, {w.find('D') != w.npos, w.find('U') != w.npos, w.find('E') != w.npos,
                                           w.find('R') != w.npos, w.find('L') != w.npos});
        EXPECT_EQ(std::tuple(state.item, state.presetIndex, state.volume, leaves),
                  std::tuple(c.item, c.preset, c.volume, c.leaves)) << c.script << " from " << static_cast<int>(c.from);
    }
}

// The labels from (35, 10) down, 25 rows apart, the preset's name at (125, 35); the cursor beside its item;
// the bar, or "Off" at volume 0, on the Sound row, 5 pixels longer a step.
TEST_F(GameTest, MenuCursorFollowsTheItemAndTheBarTheVolume)
{
    const std::pair<const char*, int> rows[] = {{"Play", 0}, {"Preset: ", 1}, {"Highscores", 4}, {"Sound: ", 9}, {"Exit", 10}};
    for (int item = 0, y = 0; item < 5; ++item, y += 25) { // the label of each item, and a volume
        const auto [label, volume] = rows[item];
        clear_bitmap(frame);
        drawMenu(frame, font, fake.bitmap(RES_CURSOR), static_cast<MenuItem>(item), "Fun", volume);
        EXPECT_EQ(boxOf(frame, FAKE_CURSOR, 0, 0, 300, 200), (Box{10, 12 + y, 29, 31 + y}));
        EXPECT_EQ(boxOf(frame, FAKE_YELLOW, 0, 0, 300, 200), (volume ? Box{110, 90, 110 + 5 * volume, 110} : Box{}));
        EXPECT_TRUE(reads(frame, 35, 10 + y, label) && reads(frame, 125, 35, "Fun") && reads(frame, 110, 85, volume ? "   " : "Off"));
    }
}

// Each visit waits for a key and a button held from the last screen. ENTER on Sound runs nothing, on Play a game, on
// Highscores the table until a later key; TAB draws new stars on each frame it is held; what one visit
// sets, the next keeps. Each frame is drawn afresh over a partly masked sky.
TEST_F(GameTest, VisitsInARow)
{
    rectfill(fake.bitmap(RES_SKY), 0, 0, 0, 130, 0);
    game->gunAngle = 10;
    std::srand(3);
    for (auto [held, script, frames, exits] : {std::tuple{KEY_DOWN, "D - R - D - D - R - N", 11, false},
                                               {KEY_ENTER, "N - E", 3, false}, {KEY_UP, "D - D - N X", 6, false},
                                               {KEY_ESC, "T T E - E", 5, true}}) {
        seam::reset();
        key[held] = 1, seam::pad.buttons = PAD_START; // Start, let go a moment after the key
        seam::onRest = [held](int rest) { key[held] = 0, seam::pad.buttons = rest < 2 ? PAD_START : 0; };
        seam::onFrame = holding(script);
        const bool left = game->runMenu() == MenuResult::Exit;
        EXPECT_EQ(std::tuple(left, seam::frames, keypressed()), std::tuple(exits, frames, 0)) << script;
    }
    EXPECT_EQ(std::tuple(game->presetIndex, std::string(game->presetName), game->volume, game->gunAngle),
              std::tuple(2, std::string("Impossible"), 6, 0));
    blit(game->background, expected, 0, 0, 0, 0, 640, 480);
    std::srand(3); // two new fields, and none on the other frames
    game->makeBackground();
    game->makeBackground();
    EXPECT_TRUE(samePicture(game->background, expected));
    clear_bitmap(expected); // the last frame shown: the cursor on Exit
    game->drawScene(expected);
    drawMenu(expected, font, fake.bitmap(RES_CURSOR), MenuItem::Exit, "Impossible", 6);
    EXPECT_TRUE(samePicture(screen, expected));
}
