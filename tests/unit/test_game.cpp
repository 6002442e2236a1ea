// The session as it starts and ends, the presets, and the scene with its background and score line.

#include <string>
#include <tuple>

#include "game_fixture.h"

TEST_F(GameTest, ASessionStartsOnNormalAtVolumeFiveAndTheNextLoadsTheTableItSavesThenPresetsChangeIt)
{
    EXPECT_EQ(std::tuple(game->score, game->gunAngle, game->volume, game->presetIndex, std::string(game->presetName)),
              std::tuple(0, 0, 5, 1, std::string("Normal")));
    EXPECT_EQ(std::tuple(std::string(game->highScores.name(0)), game->highScores.score(0), game->highScores.score(4)),
              std::tuple(std::string("Orlem Vasket"), 800u, 200u)) << "the default table, without a file";
    game->highScores.insert("Zed", 900);
    game->releaseBitmaps();
    game.reset(); // the end of a run writes the table
    seam::noMemory = true; // and without memory for a bitmap every screen gives way at once
    game = std::make_unique<Game>(fake.data());
    EXPECT_EQ(std::tuple(std::string(game->highScores.name(0)), game->background), std::tuple(std::string("Zed"), nullptr));
    EXPECT_EQ(game->runMenu(), MenuResult::Exit);
    game->play();
    seam::onRest = [](int) { seam::type(KEY_A << 8 | 'a'); };
    game->showGameOver();
    EXPECT_EQ(seam::frames, 0);
    seam::noMemory = false; // each preset sets its five values and its name, whatever came before
    const std::tuple<std::string, int, int, int, int, int> presets[] = {
        {"Easy", 4, 5, 80, 8, 10}, {"Normal", 10, 5, 65, 15, 10}, {"Impossible", 15, 5, 5, 1000, 30}, {"Fun", 0, 1000, 5, 1000, 1}};
    for (int i : {3, 0, 2, 1}) {
        game->presetIndex = i;
        game->applyPreset();
        EXPECT_EQ(std::tuple(std::string(game->presetName), game->reloadTicks, game->landingLimit, game->spawnOdds,
                             game->maxAlive, game->pointsPerKill), presets[i]);
    }
}

// The background, gun, shells, troopers and score line where the layout puts them; each star field goes
// on the same bitmap, cleared first, and the frame's earlier picture shows through the sky's mask pixels.
TEST_F(GameTest, SceneStandsWhereTheLayoutPutsIt)
{
    BITMAP* sky = game->background;
    game->shells.place({100.0f, 50.0f, 0.0f, 0.0f});
    game->squad.place({200, 100, Descending, -15.0f, 0.5f, 0});
    game->score = 1234;
    // The sky's top rows in the mask colour: none, one, a hundred; then no background.
    for (auto [seed, angle, masked] : {std::tuple{1, 0, 0}, {2, 32, 1}, {3, -64, 100}, {4, 64, -1}}) {
        if (masked > 0)
            rectfill(fake.bitmap(RES_SKY), 0, 0, 0, masked - 1, 0);
        std::srand(seed);
        masked < 0 ? game->releaseBitmaps() : game->makeBackground();
        EXPECT_EQ(game->background, masked < 0 ? nullptr : sky);
        game->gunAngle = angle;
        clear_to_color(frame, FAKE_FALL_B);
        game->drawScene(frame);
        game->drawScoreLine(frame);
        clear_to_color(expected, FAKE_FALL_B);
        if (masked >= 0)
            rectfill(expected, 0, masked, 639, 479, FAKE_SKY);
        std::srand(seed);
        for (int i = 0; i < 150 && masked >= 0; ++i) {
            const int y = std::rand() % 430;
            circlefill(expected, std::rand() % 640, y, i % 7 == 0, makecol(255, 255, 255));
        }
        pivot_sprite(expected, fake.bitmap(RES_BARREL), 320, 365, 2, 30, itofix(angle));
        draw_sprite(expected, fake.bitmap(RES_GUN_BASE), 295, 348);
        game->shells.draw(expected);
        game->squad.draw(expected, fake.data());
        textprintf_ex(expected, font, 5, 5, makecol(255, 255, 255), -1, "Score: %d", 1234);
        EXPECT_TRUE(samePicture(frame, expected)) << seed;
    }
}
