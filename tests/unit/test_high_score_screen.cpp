#include "game_fixture.h"
#include "scores/high_score_screen.h"
#include "scores/table_file.h"

// The table screen against a picture drawn from its layout over the scene: the
// title, place numbers ending at x 150, names from x 150, scores from x 450.
// Without memory for a frame, it and the name entry give up at once. It shows
// the table on disk, which another game may have written.
TEST_F(GameTest, TableScreenShowsItsRowsOverTheSceneUntilAKey)
{
    HighScoreTable other;
    other.fillDefault("Zed", 50, 10);
    writeTableFile("hiscores.hst", other.encode());
    seam::onFrame = [](int) { seam::type(KEY_X << 8 | 'x'); };
    seam::noMemory = true;
    game->enterName();
    game->showHighScores();
    seam::noMemory = false;
    seam::pad.buttons = PAD_A; // the A that chose the table does not close it
    game->showHighScores();
    clear_bitmap(expected);
    game->drawScene(expected);
    textout_centre_ex(expected, font, "H I G H S C O R E S !", 320, 30, -1, -1);
    struct Row { const char *place, *score; int y; };
    for (Row r : {Row{"1.  ", "50", 70}, {"2.  ", "40", 95}, {"3.  ", "30", 120}, {"4.  ", "20", 145}, {"5.  ", "10", 170}}) {
        textout_right_ex(expected, font, r.place, 150, r.y, -1, -1);
        textout_ex(expected, font, "Zed", 150, r.y, -1, -1);
        textout_ex(expected, font, r.score, 450, r.y, -1, -1);
    }
    EXPECT_TRUE(samePicture(screen, expected));
    EXPECT_EQ(seam::frames, 1);
}
