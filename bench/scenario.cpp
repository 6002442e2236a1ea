#include "scenario.h"

#include <algorithm>
#include <cmath>

#include "world/gun.h"

namespace {

constexpr int TROOPERS = 1000;
constexpr int SHELLS = 45;

// A descending trooper at (x, y) with a sway picked from i, within -15.5..15.5.
Trooper descending(int x, int y, int i)
{
    const float sway = -15.5f + 0.5f * static_cast<float>(i % 63);
    return Trooper{x, y, Descending, sway, (i % 2) ? 0.5f : -0.5f, 0};
}

// A shell on the gun's ray at an even angle, the given distance out from the pivot.
Shell shellOnRay(int angle, double distance)
{
    const double a = Gun::radians(angle);
    const float vx = static_cast<float>(std::sin(a) * 10.0);
    const float vy = static_cast<float>(std::cos(a) * -10.0);
    return Shell{static_cast<float>(Gun::PIVOT_X + std::sin(a) * distance),
                 static_cast<float>(Gun::PIVOT_Y - std::cos(a) * distance), vx, vy};
}

// How far out along the ray a shell can be and still be on screen after one more step.
double onScreenReach(int angle)
{
    const double a = Gun::radians(angle);
    const double up = std::cos(a) > 1e-9 ? Gun::PIVOT_Y / std::cos(a) : 1e9;
    const double side = std::fabs(std::sin(a)) > 1e-9 ? Gun::PIVOT_X / std::fabs(std::sin(a)) : 1e9;
    return std::min(up, side) - 11.0;
}

// Even angles spread over the gun's range -64..64.
int spreadAngle(int k)
{
    return -64 + 2 * ((k * 64) / (SHELLS - 1));
}

// 1000 descending troopers whose boxes stay above y 291, and 45 shells below y 300
// that stay there for a step: no hit, so every hit test walks every shell.
void placeAllDescending(Game& game)
{
    for (int i = 0; i < TROOPERS; ++i)
        game.squad.place(descending((i * 37) % 630, -40 + (i * 53) % 290, i));
    for (int k = 0; k < SHELLS; ++k)
        game.shells.place(shellOnRay(spreadAngle(k), 27.5 + 8.0 * (k % 4)));
}

// 458 troopers in the air, one per height from just spawned to about to land,
// the rest landed; shells as in the all-descending case.
void placeMostDescending(Game& game)
{
    const int inAir = 458;
    for (int i = 0; i < inAir; ++i)
        game.squad.place(descending((i * 37) % 630, -40 + i, i));
    for (int i = inAir; i < TROOPERS; ++i)
        game.squad.place(Trooper{(i * 37) % 630, 418, Landed, 0.0f, 0.5f, 0});
    for (int k = 0; k < SHELLS; ++k)
        game.shells.place(shellOnRay(spreadAngle(k), 27.5 + 8.0 * (k % 4)));
}

// About 92 troopers in the air (one spawn per 5 steps, 458 steps to land),
// a few falling, the rest landed; shells at every age along their rays.
void placeLongGame(Game& game)
{
    const int inAir = 92;
    for (int i = 0; i < inAir; ++i)
        game.squad.place(descending((i * 211) % 630, -40 + (i * 458) / inAir, i));
    for (int i = inAir; i < TROOPERS; ++i)
        game.squad.place(Trooper{(i * 37) % 630, 418, Landed, 0.0f, 0.5f, 0});
    for (int i = 0; i < 4; ++i)
        game.squad.place(Trooper{100 + 120 * i, 60 * i, Falling, 0.0f, 0.5f, i});
    for (int k = 0; k < SHELLS; ++k)
        game.shells.place(shellOnRay(spreadAngle(k), std::min(27.5 + 10.0 * (k % 34), onScreenReach(spreadAngle(k)))));
}

} // namespace

void placeLoad(Game& game, Load load)
{
    game.squad.clear();
    game.shells.clear();
    switch (load) {
    case Load::AllDescending:
        placeAllDescending(game);
        break;
    case Load::MostDescending:
        placeMostDescending(game);
        break;
    case Load::LongGame:
        placeLongGame(game);
        break;
    }
}
