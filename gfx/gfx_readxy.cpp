// Reading back a text cell of the work page: its character, or its colours
// packed by depth.
#include "gfx/gfx_internal.h"

int32_t zq_GfxReadXY(int32_t col, int32_t row, int32_t colour_flag) {
    const GfxState* s = __zq_gfx;
    if (!s || col <= 0 || col > s->text_cols || row <= 0 || row > s->text_rows) return 0;
    const GfxContext* ctx = zq_hGetContext();
    if (!ctx || !s->char_cells || ctx->work_page < 0 || ctx->work_page >= s->page_count) return 0;
    const CharCell& cell =
        s->char_cells[ctx->work_page][static_cast<ptrdiff_t>(row - 1) * s->text_cols + (col - 1)];
    if (colour_flag == 0) return cell.ch;
    if (s->depth <= 4) return static_cast<int32_t>(cell.fg + cell.bg * 16);
    if (s->depth <= 8) return static_cast<int32_t>(cell.fg + cell.bg * 256);
    return static_cast<int32_t>(colour_flag == 2 ? cell.bg : cell.fg);
}
