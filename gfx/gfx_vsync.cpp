#include "gfx/gfx_internal.h"

int32_t zq_GfxWaitVSync() {
    GfxState* s = __zq_gfx;
    if (!s) return zq_ErrorSetNum(1);
    if (s->driver && s->driver->wait_vsync) s->driver->wait_vsync();
    return 0;
}
