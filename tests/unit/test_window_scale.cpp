// The grown window's rules: its size, F11 on every screen, the fallback, and the grown copy.
#include <utility>
#include <vector>

#include "platform/scaled_copy.h"
#include "platform/window.h"
#include "platform/window_rules.h"
#include "game_fixture.h"

TEST(WindowScale, LargestMultipleWithinNinetyPercentOfTheDesktop)
{
    struct Case { int width, height, scale; };
    for (const Case& c : {Case{1920, 1080, 2}, {2560, 1440, 2}, {3840, 2160, 4}, {1366, 768, 1}, {1024, 768, 1},
                          {7680, 4320, 8}, {6400, 4800, 9}, {1423, 1067, 2}, {1422, 1067, 1}, {1423, 1066, 1}})
        EXPECT_EQ(largestScale(c.width, c.height), c.scale) << c.width << "x" << c.height;
}

// F11, down in a screen's first frame, grows or shrinks the window before the second is shown, on every screen;
// in the wait after a game it is held from the first pause on and acts once. It never reaches the key buffer.
// Where not even twice the size fits, it does nothing.
TEST_F(GameTest, F11SwitchesTheWindowOnEveryScreenOncePerPressAndNeverReachesTheKeyBuffer)
{
    Window window;
    game->window = &window;
    seam::onFrame = [](int n) { key[KEY_F11] = n == 1; key[KEY_ESC] = n == 3 || n == 5; if (n == 2) seam::type(KEY_ENTER << 8 | 13); };
    seam::onRest = [](int) { key[KEY_F11] = seam::frames == 49; if (seam::rests == 60) seam::type(KEY_A << 8 | 'a'); };
    const auto run = [&](auto screen) { seam::frames = seam::rests = 0; key[KEY_ESC] = 0; key[KEY_F11] = 0; (*game.*screen)(); };
    run(&Game::runMenu), run(&Game::play), run(&Game::showGameOver), run(&Game::enterName), run(&Game::showHighScores);
    const auto desktop = std::exchange(system_driver->get_desktop_resolution, [](int* w, int* h) { return *w = 1024, *h = 768, 0; });
    for (int held : {0, 1}) { key[KEY_F11] = held; window.followF11(); } // where not even 2x fits, nothing
    system_driver->get_desktop_resolution = desktop;
    window.releaseBitmaps();
    EXPECT_EQ(seam::modes, (std::vector<int>{1280, 640, 1280, 640, 1280, 640}));
    int f11 = KEY_F11, a = KEY_A; // F11 leaves neither a key nor a scancode in the buffer
    EXPECT_EQ(dropF11(0, &f11) | f11, 0);
    EXPECT_EQ((std::pair{dropF11('a', &a), a}), (std::pair{int('a'), int(KEY_A)}));
}

TEST(WindowScale, ARefusedWindowFallsBackToTheOneItHadAndIsReportedAtItsSize)
{
    struct Case { int refused, now; std::vector<int> tried; }; // refused: how many attempts fail
    for (const Case& c : {Case{0, 4, {4}}, {1, 1, {4, 1}}, {2, 0, {4, 1}}}) {
        std::vector<int> tried;
        EXPECT_EQ(switchScale(4, 1, [&](int scale) { tried.push_back(scale); return int(tried.size()) > c.refused; }), c.now);
        EXPECT_EQ(tried, c.tried);
    }
    EXPECT_EQ(graphicsError(4, "Refused"), "Error initializing graphics mode (2560x1920).\nRefused."); // lost at 4x
}

TEST(WindowScale, TheGrownWindowGetsTheChangedBandsAndNothingElse)
{
    BITMAP *frame = create_bitmap(80, 10), *shown = create_bitmap(80, 10);
    BITMAP *target = create_bitmap(80 * 3, 10 * 3), *want = create_bitmap(80 * 3, 10 * 3), *grown = create_bitmap(80 * 3, 10 * 3);
    for (int i = 0; i < 80 * 10; ++i) // neighbours differ, so a comparison one pixel off shows
        shown->line[i / 80][i % 80] = static_cast<unsigned char>(i * 7 % 5);
    blit(shown, frame, 0, 0, 0, 0, 80, 10);
    clear_to_color(target, 200);
    clear_to_color(want, 200);
    // One corner, a band, a row below it in the next strip of columns, the other corner.
    for (int xy : {0 << 8 | 0, 2 << 8 | 20, 3 << 8 | 5, 4 << 8 | 70, 9 << 8 | 79})
        ++frame->line[xy >> 8][xy & 255]; // by one: a compare that tells more than equal or not must not miss it
    copyChanged(frame, shown, grown, target, 3);
    struct Band { int x, y, w, h; };
    for (Band b : {Band{0, 0, 1, 1}, {5, 2, 16, 2}, {70, 4, 1, 1}, {79, 9, 1, 1}})
        stretch_blit(frame, want, b.x, b.y, b.w, b.h, b.x * 3, b.y * 3, b.w * 3, b.h * 3);
    auto pixels = [](BITMAP* b) { return std::vector<unsigned char>(b->line[0], b->line[0] + b->w * b->h); };
    EXPECT_EQ(pixels(target), pixels(want));
    EXPECT_EQ(pixels(shown), pixels(frame));
    for (BITMAP* b : {frame, shown, target, want, grown})
        destroy_bitmap(b);
}
