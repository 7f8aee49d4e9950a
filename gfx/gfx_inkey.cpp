// Key reads on the graphics screen. Minimal for now: the key buffer does not
// exist yet, so no key is ever waiting.
#include "gfx/gfx_internal.h"

ZqString* zq_GfxInkey() {
    return zq_StrAllocTemp(0);
}
int32_t zq_GfxGetkey() {
    return 0;
}
int32_t zq_GfxKeyHit() {
    return 0;
}
// Keyboard input is never redirected while a graphics screen is open.
int32_t zq_GfxIsRedir(int32_t) {
    return 0;
}
