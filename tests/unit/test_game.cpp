#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "game/presets.h"
#include "game_fixture.h"

namespace {

bool fileExists(const char* path)
{
    struct stat info;
    return stat(path, &info) == 0;
}

} // namespace

TEST_F(GameTest, FreshSessionIsNormalWithDefaultTableWrittenAtEnd)
{
    EXPECT_STREQ(game->presetName, "Normal");
    EXPECT_EQ(game->presetIndex, 1);
    EXPECT_EQ(game->reloadTicks, 10);
    EXPECT_EQ(game->landingLimit, 5);
    EXPECT_EQ(game->spawnOdds, 65);
    EXPECT_EQ(game->maxAlive, 15);
    EXPECT_EQ(game->pointsPerKill, 10);
    EXPECT_EQ(game->volume, 5);
    EXPECT_EQ(game->score, 0);
    EXPECT_EQ(game->gunAngle, 0);
    const unsigned expected[] = {800, 650, 500, 350, 200};
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(game->highScores.name(i), "Orlem Vasket");
        EXPECT_EQ(game->highScores.score(i), expected[i]);
    }
    EXPECT_FALSE(fileExists("hiscores.hst"));
    game->releaseBitmaps();
    game.reset();
    EXPECT_TRUE(fileExists("hiscores.hst"));
}

TEST_F(GameTest, ApplyPresetCopiesEveryValueAndName)
{
    struct Expected {
        int reload, landing, odds, alive, points;
        const char* name;
    };
    const Expected table[] = {{4, 5, 80, 8, 10, "Easy"},
                              {10, 5, 65, 15, 10, "Normal"},
                              {15, 5, 5, 1000, 30, "Impossible"},
                              {0, 1000, 5, 1000, 1, "Fun"}};
    // Visit every preset, then come back from Fun to Easy.
    for (int index : {0, 1, 2, 3, 0}) {
        game->score = 123;
        game->presetIndex = index;
        game->applyPreset();
        const Expected& want = table[index];
        EXPECT_EQ(game->reloadTicks, want.reload);
        EXPECT_EQ(game->landingLimit, want.landing);
        EXPECT_EQ(game->spawnOdds, want.odds);
        EXPECT_EQ(game->maxAlive, want.alive);
        EXPECT_EQ(game->pointsPerKill, want.points);
        EXPECT_STREQ(game->presetName, want.name);
        EXPECT_EQ(game->score, 123);
    }
}

TEST_F(GameTest, BackgroundIsReusedAndHoldsExactlyTheSeededStars)
{
    BITMAP* first = game->background;
    ASSERT_NE(first, nullptr);
    for (unsigned seed : {7u, 99u}) {
        std::srand(seed);
        std::set<std::pair<int, int>> white;
        int big = 0;
        for (int i = 0; i < 150; ++i) {
            const int y = std::rand() % 430;
            const int x = std::rand() % 640;
            white.insert({x, y});
            if (i % 7 == 0) {
                ++big;
                for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                    white.insert({x + dx, y + dy});
            }
        }
        EXPECT_EQ(big, 22);
        std::srand(seed);
        game->makeBackground();
        EXPECT_EQ(game->background, first);
        int mismatches = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                const int pixel = getpixel(game->background, x, y);
                const bool star = white.count({x, y}) > 0;
                mismatches += (pixel == FAKE_WHITE) != star || (!star && pixel != FAKE_SKY);
            }
        EXPECT_EQ(mismatches, 0) << "seed " << seed;
    }
}

TEST_F(GameTest, SceneStandsBarrelOnPivotAndBaseOverIt)
{
    BITMAP* frame = create_bitmap(640, 480);
    clear_bitmap(frame);
    game->drawScene(frame);
    // Unrotated, the barrel's point (2, 30) lies on (320, 365).
    EXPECT_EQ(getpixel(frame, 318, 335), FAKE_BARREL);
    EXPECT_EQ(getpixel(frame, 322, 347), FAKE_BARREL);
    EXPECT_EQ(getpixel(frame, 317, 335), FAKE_SKY);
    EXPECT_EQ(getpixel(frame, 318, 334), FAKE_SKY);
    EXPECT_EQ(getpixel(frame, 323, 340), FAKE_SKY);
    // The base's top-left is (295, 348) and it covers the barrel's foot.
    EXPECT_EQ(getpixel(frame, 295, 348), FAKE_BASE);
    EXPECT_EQ(getpixel(frame, 320, 350), FAKE_BASE);
    EXPECT_EQ(getpixel(frame, 294, 348), FAKE_SKY);

    // A quarter turn clockwise lays the barrel level, pointing right.
    game->gunAngle = 64;
    game->drawScene(frame);
    EXPECT_EQ(getpixel(frame, 348, 365), FAKE_BARREL);
    EXPECT_EQ(getpixel(frame, 320, 340), FAKE_SKY);
    game->gunAngle = -64;
    game->drawScene(frame);
    EXPECT_EQ(getpixel(frame, 292, 365), FAKE_BARREL);
    EXPECT_EQ(getpixel(frame, 348, 365), FAKE_SKY);
    destroy_bitmap(frame);
}

TEST_F(GameTest, ScoreLineIsWhiteAtTopLeft)
{
    BITMAP* frame = create_bitmap(640, 480);
    clear_to_color(frame, FAKE_SKY);
    game->score = 0;
    game->drawScoreLine(frame);
    int white = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 120; ++x)
            white += getpixel(frame, x, y) == FAKE_WHITE;
    EXPECT_GT(white, 20);
    for (int x = 0; x < 640; ++x)
        EXPECT_NE(getpixel(frame, x, 4), FAKE_WHITE) << "text starts at y 5";
    destroy_bitmap(frame);
}

TEST_F(GameTest, MaskPixelsInTheSkyLeaveTheFrameBelowThem)
{
    // A sky strip with one mask-coloured pixel: the background then holds a
    // row of them, which the scene must not paint over.
    BITMAP* sky = static_cast<BITMAP*>(fake.data()[RES_SKY].dat);
    putpixel(sky, 0, 450, bitmap_mask_color(sky));
    game->makeBackground();
    BITMAP* frame = create_bitmap(640, 480);
    clear_to_color(frame, 77);
    game->drawScene(frame);
    int kept = 0;
    for (int x = 0; x < 640; ++x)
        kept += getpixel(frame, x, 450) == 77;
    EXPECT_GT(kept, 580) << "the base covers the rest of the row";
    EXPECT_EQ(getpixel(frame, 10, 449), FAKE_SKY);
    destroy_bitmap(frame);
}
