// Text cursor and printing on the graphics screen. Minimal for now: the
// cursor and the text grid work, printing draws nothing yet.
#include "gfx/gfx_internal.h"

int32_t zq_GfxLocateRaw(int32_t row, int32_t col, int32_t) {
    GfxState* s = __zq_gfx;
    if (!s) return 0;
    if (col >= 0) s->cursor_x = col;
    if (row >= 0) s->cursor_y = row;
    return ((s->cursor_y & 0xFF) << 8) | (s->cursor_x & 0xFF);
}

int32_t zq_GfxLocate(int32_t row, int32_t col, int32_t cursor) {
    GfxState* s = __zq_gfx;
    if (!s) return 0;
    s->flags &= ~SCREEN_TEXT_PENDING;
    int32_t r = zq_GfxLocateRaw(row - 1, col - 1, cursor);
    zq_SetPos(s->cursor_x);
    return r + 0x101;
}

int32_t zq_GfxGetX() {
    return __zq_gfx ? __zq_gfx->cursor_x + 1 : 0;
}
int32_t zq_GfxGetY() {
    return __zq_gfx ? __zq_gfx->cursor_y + 1 : 0;
}

void zq_GfxGetXY(int32_t* col, int32_t* row) {
    if (col) *col = zq_GfxGetX();
    if (row) *row = zq_GfxGetY();
}

void zq_GfxGetSize(int32_t* cols, int32_t* rows) {
    GfxState* s = __zq_gfx;
    if (cols) *cols = s ? s->text_cols : 0;
    if (rows) *rows = s ? s->text_rows : 0;
}

int32_t zq_GfxPrintBufferEx(const char*, int32_t, int32_t) {
    return 0;
}
