// Placeholder until the blitter family lands: no conversion is offered, so
// only displays that take the framebuffer as it is can open.
#include "gfx/win32/gfx_blitter.h"

Blitter zq_hGetBlitter(int, int) {
    return nullptr;
}
