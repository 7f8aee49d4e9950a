#include "gfx/gfx_internal.h"

int32_t zq_GfxSetMouse(int32_t x, int32_t y, int32_t cursor) {
    GfxState* s = __zq_gfx;
    if (!s || !s->driver->set_mouse) return zq_ErrorSetNum(1);
    zq_hGfxLock();
    s->driver->set_mouse(x, y, cursor);
    zq_hGfxUnlock();
    return 0;
}
