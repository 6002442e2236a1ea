// The name entry's key rules, and the screen through the seam.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game_fixture.h"
#include "scores/name_entry.h"

namespace {

int typed(int c)
{
    return (KEY_A << 8) | c;
}
constexpr int BACKSPACE = (KEY_BACKSPACE << 8) | 8;
constexpr int ENTER = (KEY_ENTER << 8) | 13;
constexpr int ESCAPE = (KEY_ESC << 8) | 27;

std::vector<int> typing(const std::string& text)
{
    std::vector<int> keys;
    for (unsigned char c : text)
        keys.push_back(typed(c));
    return keys;
}

std::vector<int> operator+(std::vector<int> a, const std::vector<int>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(NameEntry, TypesByCharacterCodeAndEndsByScancode)
{
    struct Case {
        std::vector<int> keys;
        std::string name;
        bool finished, confirmed;
    };
    const std::string fifteen = "ABCDEFGHIJKLMNO";
    for (const Case& c :
         {Case{typing(fifteen + "P"), fifteen, false, false},
          Case{typing(fifteen) + std::vector<int>{BACKSPACE, typed(127)}, "ABCDEFGHIJKLMN\x7f", false, false},
          Case{{BACKSPACE, typed(31), typed(128), typed(255), KEY_LEFT << 8}, "", false, false},
          Case{typing(" ~"), " ~", false, false},
          Case{{(KEY_ENTER_PAD << 8) | 13}, "", false, false},
          Case{{ENTER}, "", true, true},
          Case{{typed('x'), ESCAPE}, "x", true, false}}) {
        NameEntry entry;
        for (int k : c.keys)
            applyNameKey(entry, k);
        EXPECT_TRUE(entry.name == c.name && entry.length == static_cast<int>(c.name.size())
                    && nameEntryFinished(entry) == c.finished && nameEntryConfirmed(entry) == c.confirmed)
            << c.name;
    }
}

TEST_F(GameTest, NameEntryDropsKeysFromTheGameAndTakesOneKeyAFrame)
{
    seam::type(typed('q')); // pressed during the game
    game->score = 999;
    seam::onFrame = [](int frame) {
        if (frame == 1)
            for (int k : typing("Zed") + std::vector<int>{ENTER})
                seam::type(k);
    };
    game->enterName();
    EXPECT_STREQ(game->highScores.name(0), "Zed");
    EXPECT_EQ(game->highScores.score(0), 999u);
    EXPECT_EQ(seam::frames, 5) << "the frame that reads Enter is shown too";
}
