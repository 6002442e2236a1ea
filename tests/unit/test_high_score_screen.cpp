#include "game_fixture.h"
#include "scores/high_score_screen.h"

// The table over the scene until a key: the title centred on x 320 at row 30; rows 25 apart from row 70, each
// with its place number ending a column before the name at x 150, and the score at x 450; nothing below. The A
// that chose it does not close it.
TEST_F(GameTest, TableScreenShowsItsRowsOverTheSceneUntilAKey)
{
    seam::onFrame = [](int) { seam::type(KEY_X << 8 | 'x'); };
    seam::pad.buttons = PAD_A;
    game->showHighScores();
    EXPECT_TRUE(reads(screen, 320 - 21 * 8 / 2, 30, "H I G H S C O R E S !")); // 21 characters 8 pixels wide
    for (int i = 0, y = 70; i < 5; ++i, y += 25)
        EXPECT_TRUE(reads(screen, 150 - text_length(font, "1.  "), y, std::to_string(i + 1) + ".") &&
                    reads(screen, 150, y, "Orlem Vasket") && reads(screen, 450, y, std::to_string(800 - 150 * i))) << i;
    EXPECT_EQ(std::tuple(boxOf(screen, 255, 0, 190, 639, 479), getpixel(screen, 0, 479), seam::frames), std::tuple(Box{}, int(FAKE_SKY), 1));
}
