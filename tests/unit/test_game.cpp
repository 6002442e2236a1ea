#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "game_fixture.h"

TEST_F(GameTest, NewStarsOnTheSameBitmapAboveRow430WithOneInSevenLarge)
{
    BITMAP* sky = game->background;
    auto white = [sky](int x, int y) { return getpixel(sky, x, y) == FAKE_WHITE; };
    for (int field = 0; field < 3; ++field) {
        game->makeBackground();
        ASSERT_EQ(game->background, sky);
        int large = 0, lowest = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (white(x, y)) {
                    lowest = y;
                    large += white(x - 1, y) && white(x + 1, y) && white(x, y - 1) && white(x, y + 1);
                }
        EXPECT_TRUE(lowest <= 430 && large == 22) << "large stars reach a row below their centres; " << large;
    }
}

TEST_F(GameTest, SceneStandsTheBarrelOnItsPivotUnderTheBaseWithShellsAndTroopers)
{
    BITMAP *frame = create_bitmap(640, 480), *turned = create_bitmap(640, 480);
    BITMAP* trooper = static_cast<BITMAP*>(fake.data()[RES_TROOPER].dat);
    game->shells.place({100.0f, 50.0f, 0.0f, 0.0f});
    game->squad.place({200, 100, Descending, -15.0f, 0.5f, 0});
    game->drawScene(frame);
    struct Pixel { int x, y, colour; };
    for (Pixel p : {Pixel{318, 335, FAKE_BARREL}, {317, 335, FAKE_SKY}, {318, 334, FAKE_SKY}, // barrel point (2, 30) on (320, 365)
                    {295, 348, FAKE_BASE}, {320, 350, FAKE_BASE}, {294, 348, FAKE_SKY}, // the base over the barrel's foot
                    {100, 50, makecol(204, 104, 0)}})
        EXPECT_EQ(getpixel(frame, p.x, p.y), p.colour) << p.x << "," << p.y;
    clear_bitmap(turned);
    rotate_sprite(turned, trooper, 200, 100, itofix(-15)); // the trooper, turned by its sway
    for (int y = 90; y < 150; ++y)
        for (int x = 190; x < 240; ++x)
            ASSERT_EQ(getpixel(turned, x, y) == FAKE_TROOPER, getpixel(frame, x, y) == FAKE_TROOPER) << x << "," << y;
    for (int angle : {64, -64}) { // a quarter turn lays the barrel level
        game->gunAngle = angle;
        game->drawScene(frame);
        EXPECT_TRUE(getpixel(frame, 320 + angle * 28 / 64, 365) == FAKE_BARREL
                    && getpixel(frame, 320 - angle * 28 / 64, 365) == FAKE_SKY) << angle;
    }
    destroy_bitmap(turned);
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
                white += getpixel(frame, x, y) == FAKE_WHITE;
                left = std::min(left, x);
                top = std::min(top, y);
            }
    EXPECT_TRUE(white > 20 && left == 5 && top == 5) << white << " at " << left << "," << top;
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
        ASSERT_EQ(seam::cues.size(), volume ? 1u : 0u);
        for (const seam::Cue& cue : seam::cues)
            EXPECT_TRUE(cue.sample == shot && cue.volume == volume * 25 && cue.pan == 128 && cue.frequency == 1000 && !cue.loop);
    }
}
