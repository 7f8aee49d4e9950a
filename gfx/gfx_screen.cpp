// No display driver exists yet: opening a screen fails with error 1 and the
// program stays on the text console.
#include "gfx/zq_gfx.h"

int32_t zq_GfxScreen(int32_t, int32_t, int32_t, int32_t, int32_t) { return zq_ErrorSetNum(1); }

int32_t zq_GfxScreenRes(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {
    return zq_ErrorSetNum(1);
}

int32_t zq_GfxWaitVSync() { return zq_ErrorSetNum(1); }

void zq_GfxLine(void*, float, float, float, float, uint32_t, int32_t, uint32_t, int32_t) {}
