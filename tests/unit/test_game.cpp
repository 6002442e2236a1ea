#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "game_fixture.h"

TEST_F(GameTest, FreshSessionFillsTheDefaultTable)
{
    const unsigned scores[] = {800, 650, 500, 350, 200};
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(game->highScores.score(i) == scores[i] && !std::strcmp(game->highScores.name(i), "Orlem Vasket"));
}

TEST_F(GameTest, NewStarsOnTheSameBitmapAboveRow430WithOneInSevenLarge)
{
    BITMAP* background = game->background;
    for (int field = 0; field < 3; ++field) {
        game->makeBackground();
        ASSERT_EQ(game->background, background);
        int stars = 0, large = 0, lowest = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                if (getpixel(background, x, y) != FAKE_WHITE)
                    continue;
                ++stars;
                lowest = y;
                large += getpixel(background, x - 1, y) == FAKE_WHITE && getpixel(background, x + 1, y) == FAKE_WHITE
                         && getpixel(background, x, y - 1) == FAKE_WHITE && getpixel(background, x, y + 1) == FAKE_WHITE;
            }
        EXPECT_LE(lowest, 430) << "a large star reaches one row below its centre";
        EXPECT_EQ(large, 22) << "field " << field;
        EXPECT_NEAR(stars, 128 + 22 * 5, 12) << "stars may overlap";
    }
}

TEST_F(GameTest, SceneStandsTheBarrelOnItsPivotUnderTheBaseWithShellsAndTroopers)
{
    BITMAP* frame = create_bitmap(640, 480);
    game->shells.place({100.0f, 50.0f, 0.0f, 0.0f});
    game->squad.place({200, 100, Descending, 0.0f, 0.5f, 0});
    game->drawScene(frame);
    EXPECT_EQ(getpixel(frame, 318, 335), FAKE_BARREL); // sprite point (2, 30) on (320, 365)
    EXPECT_EQ(getpixel(frame, 317, 335), FAKE_SKY);
    EXPECT_EQ(getpixel(frame, 318, 334), FAKE_SKY);
    EXPECT_EQ(getpixel(frame, 295, 348), FAKE_BASE);
    EXPECT_EQ(getpixel(frame, 320, 350), FAKE_BASE); // drawn over the barrel's foot
    EXPECT_EQ(getpixel(frame, 294, 348), FAKE_SKY);
    EXPECT_EQ(getpixel(frame, 100, 50), makecol(204, 104, 0));
    EXPECT_EQ(getpixel(frame, 200, 100), FAKE_TROOPER);
    for (int angle : {64, -64}) { // a quarter turn lays the barrel level
        game->gunAngle = angle;
        game->drawScene(frame);
        EXPECT_EQ(getpixel(frame, 320 + angle * 28 / 64, 365), FAKE_BARREL) << angle;
        EXPECT_EQ(getpixel(frame, 320 - angle * 28 / 64, 365), FAKE_SKY) << angle;
    }
    destroy_bitmap(frame);
}

TEST_F(GameTest, ScoreLineStartsAtFiveFiveInWhite)
{
    BITMAP* frame = create_bitmap(640, 480);
    clear_to_color(frame, FAKE_SKY);
    game->drawScoreLine(frame);
    int white = 0, left = 640, top = 480;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (getpixel(frame, x, y) != FAKE_SKY) {
                EXPECT_EQ(getpixel(frame, x, y), FAKE_WHITE);
                ++white;
                left = std::min(left, x);
                top = std::min(top, y);
            }
    EXPECT_GT(white, 20);
    EXPECT_TRUE(left == 5 && top == 5) << left << "," << top;
    destroy_bitmap(frame);
}

TEST_F(GameTest, CuesPlayOnceCentredAtTwentyFiveAVolumeStepAndNotAtAll)
{
    SAMPLE* shot = fake.sample(RES_SND_SHOT);
    for (int volume : {10, 1, 0}) {
        seam::cues.clear();
        game->volume = volume;
        game->playCue(shot);
        game->playCue(nullptr);
        if (volume == 0) {
            EXPECT_TRUE(seam::cues.empty());
            continue;
        }
        ASSERT_EQ(seam::cues.size(), 1u);
        const seam::Cue& cue = seam::cues[0];
        EXPECT_TRUE(cue.sample == shot && cue.volume == volume * 25 && cue.pan == 128 && cue.frequency == 1000
                    && cue.loop == 0);
    }
}
