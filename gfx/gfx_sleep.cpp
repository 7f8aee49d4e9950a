// Sleeping on the graphics screen. Minimal for now: a plain sleep, since no
// key can arrive to end it early yet.
#include "gfx/gfx_internal.h"

void zq_GfxSleep(int32_t ms) {
    if (ms >= 0) zq_Delay(ms);
}
