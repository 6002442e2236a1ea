#include <gtest/gtest.h>

#include "scores/high_score_screen.h"

// The table's rows against a picture drawn from its layout: the title, place
// numbers ending at x 150, names from x 150 (empty here), scores from x 450.
TEST(HighScoreScreen, RowsStandAtTheirPlacesNumberedFromOne)
{
    HighScoreTable table;
    table.fillDefault("", 50, 10);
    BITMAP* frame = create_bitmap(640, 480);
    BITMAP* expected = create_bitmap(640, 480);
    clear_bitmap(frame);
    clear_bitmap(expected);
    drawHighScoreRows(frame, font, table);
    textout_centre_ex(expected, font, "H I G H S C O R E S !", 320, 30, -1, -1);
    struct Row {
        const char *place, *score;
        int y;
    };
    for (const Row& r : {Row{"1.  ", "50", 70}, Row{"2.  ", "40", 95}, Row{"3.  ", "30", 120}, Row{"4.  ", "20", 145},
                         Row{"5.  ", "10", 170}}) {
        textout_right_ex(expected, font, r.place, 150, r.y, -1, -1);
        textout_ex(expected, font, r.score, 450, r.y, -1, -1);
    }
    int differing = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            differing += getpixel(frame, x, y) != getpixel(expected, x, y);
    EXPECT_EQ(differing, 0);
    destroy_bitmap(expected);
    destroy_bitmap(frame);
}
