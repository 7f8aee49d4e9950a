// The graphics screen's clear: the whole page, the view, or the text rows.
#include <algorithm>

#include "gfx/gfx_internal.h"

namespace {

constexpr int32_t kClearScreen = 0;
constexpr int32_t kClearView = 1;
constexpr int32_t kClearText = 2;
constexpr int32_t kClearDefault = static_cast<int32_t>(0xFFFF0000u);

struct RowRange {
    int32_t first, last;  // empty when first > last
};

RowRange text_view_rows(const GfxState* s) {
    return RowRange{std::max(zq_ConsoleGetTopRow(), 0),
                    std::min(zq_ConsoleGetBotRow(), s->text_rows - 1)};
}

int32_t resolve_mode(const GfxContext* ctx, const GfxState* s, int32_t mode) {
    if (mode != kClearDefault) return mode;
    if (ctx->flags & CTX_VIEW_ON) return kClearView;
    const bool all_rows = zq_ConsoleGetTopRow() == 0 && zq_ConsoleGetBotRow() == s->text_rows - 1;
    return all_rows ? kClearScreen : kClearText;
}

void move_to_view_centre(GfxContext* ctx) {
    ctx->last_x = static_cast<float>(int64_t{ctx->view_x} + (ctx->view_w >> 1));
    ctx->last_y = static_cast<float>(int64_t{ctx->view_y} + (ctx->view_h >> 1));
}

// Blanks the text cells of the given rows and puts the cursor on the first
// row of the text view.
void reset_text(const GfxContext* ctx, const GfxState* s, RowRange rows) {
    if (rows.first <= rows.last) {
        zq_hClearCharCells(0, rows.first, s->text_cols, rows.last + 1, ctx->work_page, 32,
                           ctx->fg_color, ctx->bg_color);
    }
    zq_GfxLocate(zq_ConsoleGetTopRow() + 1, 1, -1);
}

// Fills whole framebuffer rows, which lie back to back in the page.
void fill_screen_rows(GfxContext* ctx, const GfxState* s, RowRange rows) {
    rows.first = std::max(rows.first, 0);
    rows.last = std::min(rows.last, s->height - 1);
    if (rows.first > rows.last) return;
    const int64_t count = int64_t{s->width} * (int64_t{rows.last} - rows.first + 1);
    ctx->pixel_set(ctx->line[rows.first], static_cast<int>(ctx->bg_color),
                   static_cast<size_t>(count));
    zq_hMarkDirtyRows(ctx, rows.first, rows.last);
}

void clear_screen(GfxContext* ctx, const GfxState* s) {
    fill_screen_rows(ctx, s, RowRange{0, s->height - 1});
    move_to_view_centre(ctx);
    reset_text(ctx, s, RowRange{0, s->text_rows - 1});
}

void clear_text_area(GfxContext* ctx, const GfxState* s) {
    const RowRange text = text_view_rows(s);
    const int64_t glyph_h = s->font ? s->font->height : 0;
    if (text.first <= text.last && glyph_h > 0) {
        const int64_t first = text.first * glyph_h;
        const int64_t last = (int64_t{text.last} + 1) * glyph_h - 1;
        fill_screen_rows(ctx, s, RowRange{static_cast<int32_t>(first), static_cast<int32_t>(last)});
    }
    reset_text(ctx, s, text);
}

void clear_view(GfxContext* ctx) {
    if (ctx->view_w > 0 && ctx->view_h > 0) {
        uint8_t* row =
            ctx->line[ctx->view_y] + static_cast<ptrdiff_t>(ctx->view_x) * ctx->target_bpp;
        for (int32_t i = 0; i < ctx->view_h; ++i) {
            ctx->pixel_set(row, static_cast<int>(ctx->bg_color), static_cast<size_t>(ctx->view_w));
            row += ctx->target_pitch;
        }
        zq_hMarkDirtyRows(ctx, ctx->view_y,
                          static_cast<int32_t>(int64_t{ctx->view_y} + ctx->view_h - 1));
    }
    move_to_view_centre(ctx);
}

}  // namespace

int32_t zq_GfxClear(int32_t mode) {
    GfxContext* ctx = zq_hGetContext();
    GfxState* s = __zq_gfx;
    if (!s) return 0;
    zq_hPrepareTarget(ctx, nullptr, ctx->bg_color);
    zq_hGfxLock();
    switch (resolve_mode(ctx, s, mode)) {
        case kClearScreen:
            clear_screen(ctx, s);
            break;
        case kClearText:
            clear_text_area(ctx, s);
            break;
        default:
            clear_view(ctx);
            break;
    }
    zq_hGfxUnlock();
    return 0;
}
