#include <gtest/gtest.h>

#include "game/game_over.h"
#include "game_fixture.h"

TEST(GameOverBanner, TellingFramesKeepItCentredAsItTurnsAndGrows)
{
    struct Row { int s, x, y; };
    for (Row r : {Row{64, 276, 194}, {68, 274, 193}, {128, 232, 187}, {192, 188, 180}, {252, 147, 173}, {256, 144, 173}}) {
        const BannerPose pose = bannerPose(r.s);
        EXPECT_TRUE(pose.x == r.x && pose.y == r.y && pose.angle == itofix(r.s) && pose.scale == r.s * 256) << r.s;
    }
}

TEST_F(GameTest, BannerShowsFortyNineFramesAndOnlyALaterKeyEndsTheWait)
{
    seam::onFrame = [](int frame) { // a key pressed while the banner turns
        if (frame == 10)
            seam::type(KEY_A << 8 | 'a');
    };
    seam::onRest = [](int rest) {
        if (rest == 3)
            seam::type(KEY_ENTER << 8 | 13);
    };
    game->showGameOver();
    EXPECT_TRUE(seam::frames == 49 && seam::rests == 3 && !keypressed());
    EXPECT_TRUE(getpixel(screen, 144, 173) == FAKE_BANNER && getpixel(screen, 143, 172) != FAKE_BANNER
                && getpixel(screen, 495, 227) == FAKE_BANNER) << "the last frame: upright, full size, its corner at (144, 173)";
}
