#include <gtest/gtest.h>

#include "scores/high_score_screen.h"

// The table's rows against a picture drawn from its layout: the title, place
// numbers ending at x 150, names from x 150 (empty here), scores from x 450.
TEST(HighScoreScreen, RowsStandAtTheirPlacesNumberedFromOne)
{
    HighScoreTable table;
    table.fillDefault("", 50, 10);
    BITMAP *frame = create_bitmap(640, 480), *expected = create_bitmap(640, 480);
    clear_bitmap(frame);
    clear_bitmap(expected);
    drawHighScoreRows(frame, font, table);
    textout_centre_ex(expected, font, "H I G H S C O R E S !", 320, 30, -1, -1);
    struct Row { const char *place, *score; int y; };
    for (Row r : {Row{"1.  ", "50", 70}, {"2.  ", "40", 95}, {"3.  ", "30", 120}, {"4.  ", "20", 145}, {"5.  ", "10", 170}}) {
        textout_right_ex(expected, font, r.place, 150, r.y, -1, -1);
        textout_ex(expected, font, r.score, 450, r.y, -1, -1);
    }
    for (int y = 0; y < 480; ++y)
        ASSERT_EQ(memcmp(frame->line[y], expected->line[y], 640), 0) << "row " << y;
    destroy_bitmap(expected);
    destroy_bitmap(frame);
}
