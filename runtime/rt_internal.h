// Runtime internals shared between its units, and the hooks its tests use to
// put process-wide state back.
#pragma once

#include <cstddef>
#include <cstdint>

// Counts down one start-up; true when this was the last one (hinit.cpp).
bool zq_hRtDecrement();

// Forgets the timer's chosen mode; the next zq_Timer asks `frequency` (NULL:
// the platform's counter) again, so tests can simulate a system without a
// performance counter.
void zq_hTimerReset(int64_t (*frequency)());
// 0 = not chosen yet, 1 = tick count, 2 = performance counter.
int zq_hTimerMode();

// Puts the random generators back to their start-up state.
void zq_hRndReset();
// The state of the two linear congruential generators.
uint32_t zq_hRndSeedState();

// The bytes of a string argument: a size of -1 marks a ZqString, any other size
// a buffer of that many bytes, ending at its first 0 byte (str_temp.cpp).
struct ZqBytes {
    const char* data;
    size_t len;
};
ZqBytes zq_hStrBytes(const void* s, ptrdiff_t size);
// Frees a temporary ZqString argument once it has been used.
void zq_hStrReleaseArg(const void* s, ptrdiff_t size);
