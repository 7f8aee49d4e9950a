#include "gfx/gfx_internal.h"

// -1 (true) while the key with this scan code is held.
int32_t zq_GfxMultikey(int32_t scan_code) {
    GfxState* s = __zq_gfx;
    if (!s || scan_code < 0 || scan_code > 127) return 0;
    zq_hGfxLock();
    int32_t down = s->key_state[scan_code] ? -1 : 0;
    zq_hGfxUnlock();
    return down;
}
