// The DirectX driver's decisions that need no DirectDraw, kept apart so that
// the host tests check them: the full-screen mode search, the blitter format
// of a display, the key state from a DirectInput keyboard and the pacing of
// the vertical-blank wait.
#pragma once

#include <cstdint>

// The depth tried when a display refuses `bits` (16 <-> 15, 32 <-> 24); 0 when
// there is none.
int32_t zq_hDdrawTwinDepth(int32_t bits);

// The next height of the full-screen search above `h`; -1 when the list
// (240, 480, 600, 768, 1024) is exhausted.
int32_t zq_hDdrawNextHeight(int32_t h);

// Asks the display for a mode; true when it was set. `flags` is 1 (standard
// VGA mode) for 320 x 200 at 8 bits, else 0.
using DdrawSetModeFn = bool (*)(void* context, int32_t w, int32_t h, int32_t bits, int32_t refresh,
                                uint32_t flags);

// The full-screen mode search: the width stays `w`, the height starts at `h`
// and climbs the height list; each height is tried at `bits`, then at its twin.
// Returns the height of the mode that was set, or -1.
int32_t zq_hDdrawFindMode(int32_t w, int32_t h, int32_t bits, int32_t refresh, DdrawSetModeFn set,
                          void* context);

// The depth a display format stands for: 16 bits with the 5-5-5 green mask
// are depth 15.
int32_t zq_hDdrawFormatDepth(int32_t bits, uint32_t green_mask);

// The blitter arguments for a display of `bits` with these masks: its depth
// and whether it is in RGB order (red in the lowest bits).
struct DdrawBlitFormat {
    int32_t depth;
    int32_t rgb;
};
DdrawBlitFormat zq_hDdrawBlitFormat(int32_t bits, uint32_t red_mask, uint32_t green_mask);

// key_state[i] (128 entries) = 1 while the key of DirectInput scan code i or
// its extended twin i + 128 is down (bit 7 of the 256-byte device state).
void zq_hDdrawKeyState(const uint8_t* device_state, uint8_t* key_state);

// Microseconds between two refreshes at `hz`; 0 and 1 mean the hardware's
// default rate, taken as 16 ms.
int64_t zq_hRefreshPeriodUs(int32_t hz);

// Paces the vertical-blank wait where it waits for nothing: displays without
// a retrace report the blank at once, and a failed wait returns at once too.
// Given when the wait began and returned and whether it succeeded, returns how
// long to sleep so that such frames come one refresh period apart. A wait that
// took real time met a real blank, whatever the reported rate, and is never
// held back.
struct VsyncPacer {
    int64_t last_us;  // when the previous frame was let go
    bool started;
};
// A real blank is never met this soon; a wait that waits for nothing returns
// within a few microseconds.
inline constexpr int64_t kVsyncInstantUs = 250;
int64_t zq_hVsyncPaceUs(VsyncPacer* pacer, int64_t wait_start_us, int64_t now_us, int64_t period_us,
                        bool wait_ok);
