// The name entry's key rules, and the screen through the seam.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "game_fixture.h"
#include "scores/name_entry.h"

namespace {

constexpr int BACKSPACE = (KEY_BACKSPACE << 8) | 8, ENTER = (KEY_ENTER << 8) | 13, ESCAPE = (KEY_ESC << 8) | 27;

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

TEST(NameEntry, TypesByCharacterCodeAndEndsByScancode)
{
    struct Case { std::vector<int> keys; std::string name; bool finished, confirmed; };
    const std::string fifteen = "ABCDEFGHIJKLMNO";
    for (const Case& c : {Case{typing(fifteen + "P"), fifteen, false, false},
                          {typing(fifteen, {BACKSPACE, (KEY_A << 8) | 127}), "ABCDEFGHIJKLMN\x7f", false, false},
                          {typing("", {BACKSPACE, 31, 128, 255, KEY_LEFT << 8}), "", false, false},
                          {typing(" ~"), " ~", false, false}, {{(KEY_ENTER_PAD << 8) | 13}, "", false, false},
                          {{ENTER}, "", true, true}, {typing("x", {ESCAPE}), "x", true, false}}) {
        NameEntry entry;
        for (int k : c.keys)
            applyNameKey(entry, k);
        EXPECT_TRUE(entry.name == c.name && entry.length == static_cast<int>(c.name.size())
                    && nameEntryFinished(entry) == c.finished && nameEntryConfirmed(entry) == c.confirmed) << c.name;
    }
}

TEST_F(GameTest, NameEntryDropsKeysFromTheGameAndTakesOneKeyAFrame)
{
    seam::type(typing("q")[0]); // pressed during the game
    game->score = 999;
    seam::onFrame = [](int frame) {
        for (int k : frame == 1 ? typing("Zed", {ENTER}) : std::vector<int>{})
            seam::type(k);
    };
    game->enterName();
    EXPECT_TRUE(!std::strcmp(game->highScores.name(0), "Zed") && game->highScores.score(0) == 999u);
    EXPECT_EQ(seam::frames, 5) << "the frame that reads Enter is shown too";
}
