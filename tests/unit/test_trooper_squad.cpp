// The troopers' rules: spawning, swaying, landing, the two boxes, falling, the
// counters the play loop takes, and the picture each state shows.

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "game_fixture.h"
#include "world/trooper_squad.h"

static Trooper descending(int x, int y) { return {x, y, Descending, 0.0f, 0.5f, 0}; }

TEST(TrooperSquad, SpawnsOnEveryColumnSwaysToHalfPastTheLimitAndLandsOnStep458)
{
    std::srand(7);
    TrooperSquad squad;
    ShellList none;
    for (int i = 0; i < 5000; ++i)
        squad.spawn();
    const auto [left, right] = std::minmax_element(squad.members().begin(), squad.members().end(),
                                                   [](const Trooper& a, const Trooper& b) { return a.x < b.x; });
    EXPECT_EQ((std::pair{left->x, right->x}), (std::pair{0, 629}));
    squad.clear();
    squad.spawn();
    const Trooper& first = squad.members().front();
    std::vector<int> turns;
    for (int step = 1; step <= 457; ++step) {
        const float was = first.swayStep;
        squad.update(none);
        if (first.swayStep != was)
            turns.push_back(step);
    }
    EXPECT_EQ(turns, (std::vector<int>{61, 123, 185, 247, 309, 371, 433})); // at 15.5 and -15.5, not at 15.0
    EXPECT_EQ((std::pair{first.y, squad.takeLanding()}), (std::pair{417, 0}));
    squad.update(none);
    EXPECT_EQ((std::tuple{first.y, first.state, squad.takeLanding(), squad.takeLanding()}), (std::tuple{418, Landed, 1, 0}));
    squad.update(none); // the landed stay where they are, counted once
    EXPECT_EQ((std::tuple{first.y, squad.landed(), squad.alive(), squad.takeLanding()}), (std::tuple{418, 1, 1, 0}));
}

TEST(TrooperSquad, BoxesShareTheLineUnderTheParachuteAndHoldTheirEdges)
{
    struct Case { float dx, dy; std::string hit; };
    for (const Case& c : {Case{0, 0, "chute"}, {26, 16, "chute"}, {0, 17, "body"}, {26, 40, "body"}, {27, 8, ""},
                          {-1, 30, ""}, {13, -1, ""}, {13, 41, ""}}) {
        TrooperSquad squad;
        ShellList shells;
        squad.place(descending(100, 99)); // at y 100 once it has moved
        shells.place({100 + c.dx, 100 + c.dy, 0, 0});
        squad.update(shells);
        EXPECT_EQ(squad.takeChuteHit() ? "chute" : squad.takeBodyHit() ? "body" : "", c.hit) << c.dx << "," << c.dy;
    }
}

TEST(TrooperSquad, OneStepOfHitsLandingsAndFallsCountedAndTakenOnce)
{
    TrooperSquad squad;
    ShellList shells;
    const Trooper field[] = {descending(50, 417), descending(300, 417), // land and are hit in the same step
                             descending(500, 100), descending(510, 100), // both reach the first one's shell
                             {200, 418, Landed, 0.0f, 0.5f, 0}, {400, 100, Falling, 0.0f, 0.5f, 5},
                             {20, 472, Falling, 0.0f, 0.5f, 0}, {60, 473, Falling, 0.0f, 0.5f, 0}};
    for (const Trooper& t : field)
        squad.place(t);
    for (Shell s : {Shell{60, 420, 0, 0}, {310, 440, 0, 0}, {515, 105, 0, 0}, {505, 130, 0, 0}, {210, 420, 0, 0},
                    {410, 110, 0, 0}})
        shells.place(s);
    squad.update(shells);
    std::vector<std::tuple<int, int, int>> after;
    for (const Trooper& t : squad.members())
        after.emplace_back(t.x, t.y, t.state);
    EXPECT_EQ(after, (std::vector<std::tuple<int, int, int>>{{50, 425, Falling}, {500, 108, Falling},
                                                             {510, 101, Descending}, {200, 418, Landed},
                                                             {400, 107, Falling}, {20, 479, Falling}}));
    EXPECT_EQ(shells.size(), 3u) << "the body shell behind a hit parachute, and those by the landed and the falling";
    EXPECT_EQ((std::pair{squad.alive(), squad.landed()}), (std::pair{2, 2}));
    EXPECT_EQ((std::tuple{squad.takeKills(), squad.takeKills(), squad.takeChuteHit(), squad.takeChuteHit(),
                          squad.takeBodyHit(), squad.takeBodyHit()}), (std::tuple{3, 0, 1, 0, 1, 0})); // each taken once
    squad.clear();
    EXPECT_EQ((std::tuple{squad.members().size(), squad.alive(), squad.landed()}), (std::tuple{0u, 0, 0}));
}

TEST(TrooperSquad, FallingShowsItsFirstPictureForFiveStepsThenEachForSixAndTheLandedTheFirst)
{
    FakeResources fake;
    TrooperSquad squad;
    ShellList shells;
    BITMAP* frame = create_bitmap(640, 480);
    squad.place({300, 418, Landed, 0.0f, 0.5f, 0});
    squad.spawn();
    const Trooper& t = squad.members().back();
    shells.place({t.x + 13.0f, -30.0f, 0, 0});
    std::string shown;
    for (int step = 0; step < 24; ++step) {
        squad.update(shells);
        clear_bitmap(frame);
        squad.draw(frame, fake.data());
        const int colour = getpixel(frame, t.x, t.y + 39);
        shown += colour == FAKE_TROOPER ? 'A' : colour == FAKE_FALL_B ? 'B' : '-';
        EXPECT_EQ(getpixel(frame, 300, 418), FAKE_TROOPER);
    }
    EXPECT_EQ(shown, "AAAAABBBBBBAAAAAABBBBBBA");
    destroy_bitmap(frame);
}

// The parachute as rotate_sprite turns it by the sway truncated toward zero, at every angle of the copies
// and past them; copies made once, until released; without memory for them, rotate_sprite draws each.
TEST(TrooperSquad, DescendingShowsTheParachuteTurnedByItsSwayFromCopiesMadeOnce)
{
    FakeResources fake;
    BITMAP* chute = static_cast<BITMAP*>(fake.data()[RES_TROOPER].dat);
    TrooperSquad squad;
    for (int angle = -15; angle <= 15; ++angle)
        squad.place({(angle + 15) % 9 * 70 - 5, (angle + 15) / 9 * 100 - 5, Descending, angle + (angle < 0 ? -0.5f : 0.5f),
                     0.5f, 0});
    BITMAP *frame = create_bitmap(640, 480), *expected = create_bitmap(640, 480);
    auto showsExpected = [&](bool turnAgain) {
        clear_bitmap(frame);
        squad.draw(frame, fake.data());
        if (turnAgain) {
            clear_bitmap(expected);
            for (const Trooper& t : squad.members())
                rotate_sprite(expected, chute, t.x, t.y, itofix(static_cast<int>(t.sway)));
        }
        return samePicture(frame, expected);
    };
    auto makeBitmap = system_driver->create_bitmap;
    system_driver->create_bitmap = [](int, int, int) -> BITMAP* { return nullptr; };
    EXPECT_TRUE(showsExpected(true)) << "turned by rotate_sprite itself, with no memory for copies";
    system_driver->create_bitmap = makeBitmap;
    EXPECT_TRUE(showsExpected(true));
    clear_to_color(chute, FAKE_FALL_B);
    EXPECT_TRUE(showsExpected(false)) << "the copies of the old picture";
    squad.releaseSprites();
    EXPECT_TRUE(showsExpected(true)) << "the new picture, turned again";
    squad.place({300, 400, Descending, -16.5f, 0.5f, 0});
    squad.place({400, 400, Descending, 16.0f, 0.5f, 0});
    EXPECT_TRUE(showsExpected(true)) << "turned past the copies";
    destroy_bitmap(frame);
    destroy_bitmap(expected);
}
