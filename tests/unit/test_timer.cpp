#include <gtest/gtest.h>

#include <allegro.h>

#include "app/timer.h"

namespace {
void (*installedProc)() = nullptr;
long installedSpeed = 0;
} // namespace

// The library's timer needs a real system driver; here it only records what
// was asked of it.
extern "C" int install_int_ex(void (*proc)(void), long speed)
{
    installedProc = proc;
    installedSpeed = speed;
    return 0;
}

TEST(LogicTimer, AddsOneTickSixtyTimesASecond)
{
    startLogicTimer();
    ASSERT_EQ(installedProc, &tickTimer);
    EXPECT_NEAR(double(TIMERS_PER_SECOND) / installedSpeed, 60.0, 0.01);
    logicTicks = 5;
    installedProc();
    EXPECT_EQ(logicTicks.load(), 6);
}
