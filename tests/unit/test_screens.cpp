// Key rules of the name entry, the banner's path and the table's rows.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fake_resources.h"
#include "game/game_over.h"
#include "scores/high_score_screen.h"
#include "scores/name_entry.h"

namespace {

int typed(int c)
{
    return (KEY_A << 8) | c;
}
const int BACKSPACE = (KEY_BACKSPACE << 8) | 8;
const int ENTER = (KEY_ENTER << 8) | 13;
const int ESCAPE = (KEY_ESC << 8) | 27;

} // namespace

TEST(NameEntry, TypesUpToFifteenPrintableCodesIncluding127)
{
    NameEntry entry;
    for (char c : std::string("ABCDEFGHIJKLMNOP"))
        applyNameKey(entry, typed(c));
    EXPECT_STREQ(entry.name, "ABCDEFGHIJKLMNO");
    EXPECT_EQ(entry.length, 15);
    applyNameKey(entry, BACKSPACE);
    applyNameKey(entry, typed(127));
    EXPECT_EQ(entry.length, 15);
    EXPECT_EQ(entry.name[14], 127);
    EXPECT_EQ(entry.name[15], '\0');
}

TEST(NameEntry, IgnoresControlHighAndZeroCodes)
{
    NameEntry entry;
    applyNameKey(entry, BACKSPACE); // nothing to delete
    applyNameKey(entry, typed(31));
    applyNameKey(entry, typed(128));
    applyNameKey(entry, typed(255));
    applyNameKey(entry, KEY_LEFT << 8);
    EXPECT_EQ(entry.length, 0);
    EXPECT_STREQ(entry.name, "");
    applyNameKey(entry, typed(' '));
    applyNameKey(entry, typed('~'));
    EXPECT_STREQ(entry.name, " ~");
    EXPECT_FALSE(nameEntryFinished(entry));
}

TEST(NameEntry, EnterAndEscapeEndByScancodeOnly)
{
    NameEntry entry;
    applyNameKey(entry, (KEY_ENTER_PAD << 8) | 13); // another carriage return
    EXPECT_FALSE(nameEntryFinished(entry));
    EXPECT_STREQ(entry.name, "");
    applyNameKey(entry, ENTER);
    EXPECT_TRUE(nameEntryFinished(entry));
    EXPECT_TRUE(nameEntryConfirmed(entry));
    EXPECT_STREQ(entry.name, ""); // an empty name may be confirmed

    NameEntry cancelled;
    applyNameKey(cancelled, typed('x'));
    applyNameKey(cancelled, ESCAPE);
    EXPECT_TRUE(nameEntryFinished(cancelled));
    EXPECT_FALSE(nameEntryConfirmed(cancelled));
    EXPECT_STREQ(cancelled.name, "x");
}

TEST(GameOverBanner, TellingFramesMatchTheTurnAndGrowth)
{
    struct Row {
        int s, x, y;
    };
    for (Row row : {Row{64, 276, 194}, Row{68, 274, 193}, Row{128, 232, 187}, Row{192, 188, 180},
                    Row{252, 147, 173}, Row{256, 144, 173}}) {
        const BannerPose pose = bannerPose(row.s);
        EXPECT_EQ(pose.x, row.x) << row.s;
        EXPECT_EQ(pose.y, row.y) << row.s;
        EXPECT_EQ(pose.angle, itofix(row.s));
        EXPECT_EQ(pose.scale, row.s * 256) << "scale is s/256 in 16.16";
    }
    int frames = 0;
    for (int s = BANNER_FIRST_STEP; s <= BANNER_LAST_STEP; s += BANNER_STEP)
        ++frames;
    EXPECT_EQ(frames, 49);
}

TEST(HighScoreScreen, RowsStandAtTheirPlaces)
{
    FakeResources fake;
    HighScoreTable table;
    table.fillDefault("", 5, 1);
    BITMAP* frame = create_bitmap(640, 480);
    clear_bitmap(frame);
    drawHighScoreRows(frame, font, table);
    const int rowHeight = text_height(font);
    for (int i = 0; i < 5; ++i) {
        const int y = highScoreRowY(i);
        EXPECT_EQ(y, 70 + 25 * i);
        bool numberInk = false;
        bool scoreInk = false;
        for (int dy = 0; dy < rowHeight; ++dy) {
            // The place number ends at x 150 (the two spaces give the gap).
            for (int x = 150 - text_length(font, "0.  "); x < 150; ++x)
                numberInk |= getpixel(frame, x, y + dy) != 0;
            for (int x = 450; x < 458; ++x)
                scoreInk |= getpixel(frame, x, y + dy) != 0;
            EXPECT_EQ(getpixel(frame, 449, y + dy), 0);
            EXPECT_EQ(getpixel(frame, 150, y + dy), 0) << "empty names print nothing";
        }
        EXPECT_TRUE(numberInk) << i;
        EXPECT_TRUE(scoreInk) << i;
        EXPECT_EQ(getpixel(frame, 100, y - 1), 0);
    }
    destroy_bitmap(frame);
}
