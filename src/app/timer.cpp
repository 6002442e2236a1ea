#include "app/timer.h"

#include <allegro.h>

std::atomic<std::int32_t> logicTicks{0};

void tickTimer()
{
    logicTicks.fetch_add(1);
}
END_OF_FUNCTION(tickTimer)

void startLogicTimer()
{
    LOCK_VARIABLE(logicTicks);
    LOCK_FUNCTION(tickTimer);
    install_int_ex(tickTimer, BPS_TO_TIMER(60));
}
