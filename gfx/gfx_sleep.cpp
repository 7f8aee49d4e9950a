// Sleeping on the graphics screen: long sleeps end early when a key is posted.
// The key stays in the buffer; only its changed mark is used up.
#include "gfx/gfx_internal.h"

namespace {
constexpr int32_t kStepMs = 50;
}  // namespace

// ms = -1: until a key is posted. ms > 99: in 50 ms steps, each after a key
// test, then the last 1 to 50 ms without one. Other ms: a plain sleep.
void zq_GfxSleep(int32_t ms) {
    if (ms == -1) {
        while (!zq_hGfxInputBufferChanged()) zq_Delay(kStepMs);
        return;
    }
    if (ms > 99) {
        do {
            if (zq_hGfxInputBufferChanged()) return;
            zq_Delay(kStepMs);
            ms -= kStepMs;
        } while (ms > kStepMs);
    }
    if (ms > 0) zq_Delay(ms);
}
