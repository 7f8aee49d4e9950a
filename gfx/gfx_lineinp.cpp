// Line input on the graphics screen. Minimal for now: no line can be read yet.
#include "gfx/gfx_internal.h"

int32_t zq_GfxLineInput(ZqString*, void*, int32_t, int32_t, int32_t, int32_t) {
    return zq_ErrorSetNum(4);
}
