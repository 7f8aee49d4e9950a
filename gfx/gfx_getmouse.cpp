#include "gfx/gfx_internal.h"

namespace {
int32_t no_mouse(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons) {
    *x = *y = *wheel = *buttons = -1;
    return zq_ErrorSetNum(1);
}
}  // namespace

int32_t zq_GfxGetMouse(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons) {
    int32_t scratch_wheel, scratch_buttons;
    if (!wheel) wheel = &scratch_wheel;
    if (!buttons) buttons = &scratch_buttons;
    GfxState* s = __zq_gfx;
    if (!s || !s->driver->get_mouse) return no_mouse(x, y, wheel, buttons);
    zq_hGfxLock();
    int32_t r = s->driver->get_mouse(x, y, wheel, buttons);
    zq_hGfxUnlock();
    return r == 0 ? 0 : no_mouse(x, y, wheel, buttons);
}
