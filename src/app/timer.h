#pragma once

#include <atomic>
#include <cstdint>

// Logic ticks counted by the 60 Hz timer and not yet run by the play loop.
// The only datum shared with the library's timer thread.
extern std::atomic<std::int32_t> logicTicks;

// The 60 Hz timer routine: adds one tick.
void tickTimer();

// Installs tickTimer at 60 ticks a second; the library's timer must be installed.
void startLogicTimer();
