// The text grid size. Minimal for now: a query only; the grid does not change.
#include "gfx/gfx_internal.h"

int32_t zq_GfxWidth(int32_t, int32_t) {
    GfxState* s = __zq_gfx;
    if (!s) return 0;
    return (s->text_rows << 16) | s->text_cols;
}
