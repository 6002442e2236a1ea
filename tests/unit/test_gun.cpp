#include <gtest/gtest.h>

#include <string>

#include "world/gun.h"

// The barrel stops at a quarter turn either way, right tested after left; a shot
// holds fire for the reload's ticks, which run down whether fire is held or not.
TEST(Gun, TurnsUpToAQuarterTurnAndReloadsWhileFireIsHeldOrNot)
{
    struct Turn { int angle; bool left, right; int after; };
    for (Turn t : {Turn{0, false, true, 2}, {62, false, true, 64}, {64, false, true, 64}, {-62, true, false, -64},
                   {-64, true, false, -64}, {-64, true, true, -62}, {64, true, true, 64}, {10, false, false, 10}})
        EXPECT_EQ(Gun::turned(t.angle, t.left, t.right), t.after) << t.angle << " " << t.left << t.right;
    std::int32_t countdown = 0;
    std::string shots;
    for (char held : std::string("-+---+++++"))
        shots += Gun::fires(countdown, held == '+', 3) ? '*' : '.';
    EXPECT_EQ(shots, ".*...*...*");
}
