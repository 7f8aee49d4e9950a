// Line input of 16-bit strings. Minimal for now: no line can be read yet.
#include "gfx/gfx_internal.h"

int32_t zq_GfxLineInputWstr(const char16_t*, char16_t*, int32_t, int32_t, int32_t) {
    return zq_ErrorSetNum(4);
}
