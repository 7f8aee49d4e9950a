// The view statement: sets or resets the clip rectangle of the screen, with an
// optional border around it and an optional fill.
#include <algorithm>

#include "gfx/gfx_internal.h"

namespace {

constexpr int32_t kViewAbsolute = 0x1;
constexpr int32_t kNoBorder = 0x40000000;
constexpr int32_t kNoFill = static_cast<int32_t>(0x80000000u);
constexpr int32_t kResetCoord = -32768;

void set_view(GfxContext* ctx, int32_t x, int32_t y, int32_t w, int32_t h) {
    ctx->view_x = x;
    ctx->view_y = y;
    ctx->view_w = w;
    ctx->view_h = h;
}

int32_t saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// One pixel outside the requested rectangle, drawn with the whole screen as
// view.
void draw_border(GfxContext* ctx, const GfxState* s, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                 uint32_t border) {
    const uint32_t color = zq_hFixColor(ctx->target_bpp, border) & s->color_mask;
    set_view(ctx, 0, 0, s->width, s->height);
    zq_hGfxBox(saturate(int64_t{x1} - 1), saturate(int64_t{y1} - 1), saturate(int64_t{x2} + 1),
               saturate(int64_t{y2} + 1), color, 0, 0xFFFF);
}

// The requested rectangle cut to the screen; empty when wholly off it.
void set_clipped_view(GfxContext* ctx, const GfxState* s, int32_t x1, int32_t y1, int32_t x2,
                      int32_t y2) {
    const int32_t x = std::clamp(x1, 0, s->width);
    const int32_t y = std::clamp(y1, 0, s->height);
    const int64_t w = int64_t{std::min(x2, s->width - 1)} - x + 1;
    const int64_t h = int64_t{std::min(y2, s->height - 1)} - y + 1;
    set_view(ctx, x, y, static_cast<int32_t>(std::max<int64_t>(w, 0)),
             static_cast<int32_t>(std::max<int64_t>(h, 0)));
}

void fill_view(GfxContext* ctx, uint32_t fill) {
    const uint32_t old_bg = ctx->bg_color;
    ctx->bg_color = zq_hFixColor(ctx->target_bpp, fill);
    zq_GfxClear(1);
    ctx->bg_color = old_bg;
}

}  // namespace

void zq_GfxView(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t fill_color,
                uint32_t border_color, int32_t flags) {
    GfxContext* ctx = zq_hGetContext();
    const GfxState* s = __zq_gfx;
    if (!s) return;
    zq_hPrepareTarget(ctx, nullptr, border_color);
    zq_hFixCoordsOrder(&x1, &y1, &x2, &y2);
    // Only all four at -32768 resets: a real rectangle can have an OR of
    // 0xFFFF8000 too, e.g. (-32768, -32768)-(0, 0).
    if (x1 == kResetCoord && y1 == kResetCoord && x2 == kResetCoord && y2 == kResetCoord) {
        ctx->flags &= ~CTX_VIEW_ON;
        set_view(ctx, 0, 0, s->width, s->height);
        return;
    }
    ctx->flags |= CTX_VIEW_ON;
    if (flags & kViewAbsolute) {
        ctx->flags |= CTX_VIEW_ABSOLUTE;
    } else {
        ctx->flags &= ~CTX_VIEW_ABSOLUTE;
    }
    if (!(flags & kNoBorder)) draw_border(ctx, s, x1, y1, x2, y2, border_color);
    set_clipped_view(ctx, s, x1, y1, x2, y2);
    if (!(flags & kNoFill)) fill_view(ctx, fill_color);
}
