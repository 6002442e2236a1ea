// The name entry's rules for keys and the pad, and the screen through the seam.

#include <string>
#include <tuple>
#include <vector>

#include "game/pad_rules.h"
#include "game_fixture.h"
#include "scores/name_entry.h"

namespace {

constexpr int BACKSPACE = (KEY_BACKSPACE << 8) | 8, ENTER = (KEY_ENTER << 8) | 13, ESCAPE = (KEY_ESC << 8) | 27;
constexpr int U = -1, D = -2, L = -3, R = -4, C = -5; // a frame of the pad's stick: up, down, left, right, centred

// Keys as readkey gives them: a scancode above the character code.
std::vector<int> typing(const std::string& text, std::vector<int> then = {})
{
    std::vector<int> keys;
    for (unsigned char c : text)
        keys.push_back((KEY_A << 8) | c);
    keys.insert(keys.end(), then.begin(), then.end());
    return keys;
}

} // namespace

// Keys type by character code and end by scancode, the pad's buttons as Enter and Esc; a push of the stick steps once.
TEST(NameEntry, KeysAndThePadWriteOneName)
{
    struct Case { std::vector<int> keys; std::string name; bool finished = false, confirmed = false; };
    const std::string fifteen = "ABCDEFGHIJKLMNO";
    for (const Case& c : {Case{typing(fifteen + "P"), fifteen}, {typing(fifteen, {BACKSPACE, (KEY_A << 8) | 127}), "ABCDEFGHIJKLMN\x7f"},
                          {typing("", {BACKSPACE, 31, 128, 255, KEY_LEFT << 8, padNameKey(1u << 1)}), ""}, {typing(" ~"), " ~"},
                          {{(KEY_ENTER_PAD << 8) | 13}, ""}, {{ENTER}, "", true, true}, {{padNameKey(PAD_A)}, "", true, true},
                          {typing("xy", {BACKSPACE, BACKSPACE, ESCAPE}), "", true, false}, {{padNameKey(PAD_BACK)}, "", true, false},
                          {{padNameKey(PAD_START | PAD_BACK)}, "", true, true}, {typing("Z", {U}), "a"}, {typing("z", {U}), "0"},
                          {typing("9", {U}), " "}, {typing(" ", {U}), "A"}, {typing("a", {D}), "Z"}, {typing("0", {D}), "z"},
                          {typing(" ", {D}), "9"}, {typing("A", {D}), " "}, {typing("!", {D}), "A"}, {{D}, "A"},
                          {typing("x", {L, C, L}), ""}, {typing(fifteen, {R}), fifteen},
                          {{U, U, C, R, C, U, KEY_X << 8 | 'x', U, C, L}, "AB"}}) {
        NameEntry entry;
        bool held = false;
        for (int k : c.keys)
            k < 0 ? applyNamePad(entry, held, PadState{k == L, k == R, k == U, k == D}) : applyNameKey(entry, k);
        EXPECT_EQ((std::tuple{std::string(entry.name), entry.length, nameEntryFinished(entry), nameEntryConfirmed(entry)}),
                  (std::tuple{c.name, static_cast<int>(c.name.size()), c.finished, c.confirmed}));
    }
}

// Without a sky to cover them, frames not cleared would leave the earlier names behind.
TEST_F(GameTest, NameEntryDropsKeysFromTheGameTakesOneKeyAFrameAndSavesTheName)
{
    game->releaseBitmaps();
    seam::type(typing("q")[0]); // pressed during the game
    seam::pad = {false, false, true, false, PAD_A}; // held from the game: neither confirms nor steps
    game->score = 999;
    seam::onFrame = [](int frame) { // and Up on the pad between "e" and "d": keys and pushes write one name
        for (int k : frame == 1 ? typing("Zed", {ENTER}) : std::vector<int>{})
            seam::type(k);
        seam::pad = {false, false, frame == 3, false, 0};
    };
    game->enterName();
    HighScoreTable saved;
    ASSERT_TRUE(saved.load("hiscores.hst"));
    EXPECT_EQ((std::tuple{std::string(saved.name(0)), saved.score(0)}), (std::tuple{std::string("Zfd"), 999u}));
    EXPECT_EQ(seam::frames, 5) << "the frame that reads Enter is shown too";
    clear_bitmap(expected);
    EXPECT_TRUE(screenShowsScene([](BITMAP* b) {
        textout_centre_ex(b, font, "Congratulations! You have made a highscore!", 320, 30, -1, -1);
        textout_centre_ex(b, font, "Please enter your name.", 320, 50, -1, -1);
        textout_centre_ex(b, font, "Zfd*", 320, 100, -1, -1);
    }));
    seam::onFrame = [](int) { seam::pad.buttons = PAD_BACK; };
    game->enterName();
    EXPECT_EQ(game->highScores.score(1), 800u) << "Back, as Esc, leaves the table as it was";
}
