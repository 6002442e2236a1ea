#include <allegro.h>
#include <gtest/gtest.h>

#include "app/timer.h"

static void (*installed)() = nullptr;
static long period = 0;

// The library's timer needs a real system driver; here it only notes what it was asked.
extern "C" int install_int_ex(void (*proc)(void), long speed) { return installed = proc, period = speed, 0; }

TEST(LogicTimer, AddsOneTickSixtyTimesASecond)
{
    startLogicTimer();
    ASSERT_TRUE(installed);
    EXPECT_NEAR(double(TIMERS_PER_SECOND) / period, 60.0, 0.01);
    logicTicks = 5;
    installed();
    EXPECT_EQ(logicTicks.load(), 6);
}
