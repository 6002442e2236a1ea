// The session as it starts and ends, the presets, the star field and the scene.

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>

#include "game/star_field.h"
#include "game_fixture.h"

TEST_F(GameTest, WithoutMemoryForABitmapEveryScreenGivesWayAtOnce)
{
    game->releaseBitmaps();
    seam::noMemory = true;
    game->makeBackground();
    EXPECT_EQ(std::tuple(game->background, game->runMenu()), std::tuple(nullptr, MenuResult::Exit));
    game->play(), game->enterName(), game->showHighScores();
    seam::onRest = [](int) { seam::type(KEY_A << 8 | 'a'); };
    game->showGameOver();
    EXPECT_EQ(seam::frames, 0);
}

TEST_F(GameTest, EachPresetSetsItsFiveValuesAndItsNameWhateverCameBefore)
{
    const std::tuple<std::string, int, int, int, int, int> presets[] = {
        {"Easy", 4, 5, 80, 8, 10}, {"Normal", 10, 5, 65, 15, 10}, {"Impossible", 15, 5, 5, 1000, 30}, {"Fun", 0, 1000, 5, 1000, 1}};
    for (int i : {3, 0, 2, 1}) {
        game->presetIndex = i;
        game->applyPreset();
        EXPECT_EQ(std::tuple(std::string(game->presetName), game->reloadTicks, game->landingLimit, game->spawnOdds,
                             game->maxAlive, game->pointsPerKill), presets[i]);
    }
}

// 150 stars, the first and every seventh after it large, the rest one pixel, each field new; over many the
// centres reach each edge of the area above row 430 and none goes beyond.
TEST(StarField, HoldsOneHundredFiftyStarsAboveRow430AndEachFieldIsNew)
{
    std::vector<Star> stars, all;
    for (int field = 0; field < 100; ++field) {
        const std::vector<Star> last = std::exchange(stars, starField());
        const auto large = std::count_if(stars.begin(), stars.end(), [](Star s) { return s.radius == 1; });
        EXPECT_EQ(std::tuple(stars.size(), large, stars[0].radius, stars == last), std::tuple(150u, 22, 1, false));
        all.insert(all.end(), stars.begin(), stars.end());
    }
    const auto [left, right] = std::minmax_element(all.begin(), all.end(), [](Star a, Star b) { return a.x < b.x; });
    const auto [top, bottom] = std::minmax_element(all.begin(), all.end(), [](Star a, Star b) { return a.y < b.y; });
    EXPECT_EQ(std::tuple(left->x, right->x, top->y, bottom->y), std::tuple(0, 639, 0, 429));
}

// A new field, on the same background cleared first, over the frame's earlier picture: each star in white, the
// sky elsewhere, the earlier picture where the sky is masked or there is no background. Over that the barrel
// upright about (320, 365), its pivot 2 right of its left edge and 30 below its top, under the base at (295,
// 348); the shells and the troopers; last the score line, white, at (5, 5).
TEST_F(GameTest, TheSceneShowsANewStarFieldOverTheSkyTheBattlefieldOverThatAndTheScoreLine)
{
    BITMAP* sky = game->background;
    game->shells.place({100.0f, 400.0f, 0.0f, 0.0f});
    game->squad.place({500, 400, Descending, -15.0f, 0.5f, 0});
    for (int masked : {0, 1, 100, -1}) { // the sky's top rows in the mask colour; then no background
        if (masked > 0)
            rectfill(fake.bitmap(RES_SKY), 0, 0, 0, masked - 1, 0);
        std::srand(masked + 2);
        const std::vector<Star> stars = masked < 0 ? std::vector<Star>{} : starField();
        std::srand(masked + 2);
        masked < 0 ? game->releaseBitmaps() : game->makeBackground();
        clear_to_color(frame, FAKE_FALL_B);
        game->drawScene(frame);
        int wrong = game->background != (masked < 0 ? nullptr : sky); // and pixels above the gun: rows end to end
        for (Star s : stars)
            wrong += s.y < 330 && getpixel(frame, s.x, s.y) != FAKE_WHITE;
        for (int i = 0; i < 640 * 330; ++i) {
            const auto near = [x = i % 640, y = i / 640](Star s) { return std::max(std::abs(s.x - x), std::abs(s.y - y)) <= s.radius; };
            const int earlier = i / 640 < (masked < 0 ? 330 : masked) ? FAKE_FALL_B : FAKE_SKY;
            wrong += frame->line[0][i] == FAKE_WHITE ? std::none_of(stars.begin(), stars.end(), near) : frame->line[0][i] != earlier;
        }
        EXPECT_EQ(wrong, 0) << masked;
        EXPECT_EQ(std::tuple(boxOf(frame, FAKE_BARREL, 0, 330, 639, 479), boxOf(frame, FAKE_BASE, 0, 330, 639, 479)),
                  std::tuple(Box{318, 335, 322, 347}, Box{295, 348, 344, 377}));
        for (int colour : {int(FAKE_TROOPER), makecol(204, 104, 0)})
            EXPECT_NE(boxOf(frame, colour, 0, 330, 639, 479), Box{}) << colour;
    }
    game->score = 1234;
    game->drawScoreLine(frame);
    EXPECT_TRUE(reads(frame, 5, 5, "Score: 1234", FAKE_WHITE));
}
