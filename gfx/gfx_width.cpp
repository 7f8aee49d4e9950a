// The text grid size: a new grid is accepted only when its cells are 8 pixels
// wide and 8, 14 or 16 high, the sizes of the built-in fonts.
#include "gfx/gfx_internal.h"

namespace {
constexpr int32_t kReset = -32768;  // all four view coordinates: the whole screen

const FontDesc* font_for(int32_t cell_w, int32_t cell_h) {
    if (cell_w != 8) return nullptr;
    switch (cell_h) {
        case 8:
            return &zq_font_8x8;
        case 14:
            return &zq_font_8x14;
        case 16:
            return &zq_font_8x16;
        default:
            return nullptr;
    }
}
}  // namespace

int32_t zq_GfxWidth(int32_t cols, int32_t rows) {
    GfxState* s = __zq_gfx;
    if (!s) return 0;
    const int32_t result = (s->text_rows << 16) | s->text_cols;
    if (cols <= 0 && rows <= 0) return result;
    const int32_t cell_w = cols > 0 ? s->width / cols : s->font->width;
    const int32_t cell_h = rows > 0 ? s->height / rows : s->font->height;
    const FontDesc* font = font_for(cell_w, cell_h);
    if (!font) return result;
    s->font = font;
    if (cols > 0) s->text_cols = cols;
    if (rows > 0) s->text_rows = rows;
    GfxContext* ctx = zq_hGetContext();
    zq_hResetCharCells(ctx, 1);
    zq_GfxView(kReset, kReset, kReset, kReset, 0, 0, 0);
    zq_ConsoleView(0, 0);
    zq_GfxClear(0);
    return result;
}
