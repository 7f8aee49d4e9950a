// Internal view of the timer, for tests that simulate a system without a
// performance counter.
#pragma once

#include <cstdint>

// Forgets the chosen mode; the next zq_Timer asks `frequency` (NULL: the
// platform's counter) again.
void zq_hTimerReset(int64_t (*frequency)());
// 0 = not chosen yet, 1 = tick count, 2 = performance counter.
int zq_hTimerMode();
