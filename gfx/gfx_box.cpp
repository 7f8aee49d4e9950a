// Axis-aligned rectangles, filled or as a styled outline, clipped to the view.
#include <algorithm>
#include <utility>

#include "gfx/gfx_internal.h"

void zq_hMarkDirtyRows(const GfxContext* ctx, int32_t first, int32_t last) {
    const GfxState* s = __zq_gfx;
    if (!s || ctx->line[0] != s->framebuffer) return;
    if (first > last) std::swap(first, last);
    first = std::max(first, 0);
    last = std::min(last, s->height - 1);
    if (first > last) return;
    zq_hMemSet(s->dirty + first, 1, static_cast<size_t>(last - first + 1));
}

namespace {

struct Rect {
    int32_t x1, y1, x2, y2;
};

inline uint32_t rotate_mask(uint32_t mask, int64_t positions) {
    const int n = static_cast<int>(positions & 15);
    return ((mask >> n) | (mask << (16 - n))) & 0xFFFF;
}

// The outline's pattern runs along the whole unclipped outline, so the part
// cut off by the view still advances it.
struct OutlinePen {
    GfxContext* ctx;
    uint32_t color;
    uint32_t style;
    uint32_t mask;

    // A row (vertical = false) or column of the outline at fixed, from a to b
    // unclipped, drawn over ca..cb.
    void edge(bool visible, bool vertical, int32_t fixed, int32_t a, int32_t b, int32_t ca,
              int32_t cb) {
        const int64_t length = int64_t{b} - a + 1;
        if (visible) {
            uint32_t m = rotate_mask(mask, int64_t{ca} - a);
            for (int32_t v = ca;; ++v) {
                if (style & m) vertical ? put(fixed, v) : put(v, fixed);
                m = rotate_mask(m, 1);
                if (v == cb) break;
            }
        }
        mask = rotate_mask(mask, length);
    }
    void put(int32_t x, int32_t y) { ctx->put_pixel(ctx, x, y, color); }
};

void fill_rows(GfxContext* ctx, const Rect& c, uint32_t color) {
    uint8_t* row = ctx->line[c.y1] + static_cast<ptrdiff_t>(c.x1) * ctx->target_bpp;
    const size_t count = static_cast<size_t>(int64_t{c.x2} - c.x1 + 1);
    for (int32_t y = c.y1;; ++y) {
        ctx->pixel_set(row, static_cast<int>(color), count);
        if (y == c.y2) break;
        row += ctx->target_pitch;
    }
}

void solid_column(GfxContext* ctx, int32_t x, const Rect& c, uint32_t color) {
    for (int32_t y = c.y1;; ++y) {
        ctx->put_pixel(ctx, x, y, color);
        if (y == c.y2) break;
    }
}

void solid_outline(GfxContext* ctx, const Rect& r, const Rect& c, const bool visible[4],
                   uint32_t color) {
    if (visible[0]) fill_rows(ctx, Rect{c.x1, r.y2, c.x2, r.y2}, color);
    if (visible[1]) fill_rows(ctx, Rect{c.x1, r.y1, c.x2, r.y1}, color);
    if (visible[2]) solid_column(ctx, r.x2, c, color);
    if (visible[3]) solid_column(ctx, r.x1, c, color);
}

void styled_outline(GfxContext* ctx, const Rect& r, const Rect& c, const bool visible[4],
                    uint32_t color, uint32_t style) {
    OutlinePen pen{ctx, color, style, 0x8000};
    pen.edge(visible[0], false, r.y2, r.x1, r.x2, c.x1, c.x2);
    pen.edge(visible[1], false, r.y1, r.x1, r.x2, c.x1, c.x2);
    pen.edge(visible[2], true, r.x2, r.y1, r.y2, c.y1, c.y2);
    pen.edge(visible[3], true, r.x1, r.y1, r.y2, c.y1, c.y2);
}

void draw_outline(GfxContext* ctx, const Rect& r, const Rect& c, uint32_t color, uint32_t style) {
    const int64_t right = int64_t{ctx->view_x} + ctx->view_w;
    const int64_t bottom = int64_t{ctx->view_y} + ctx->view_h;
    // Edge order: bottom row, top row, right column, left column.
    const bool visible[4] = {r.y2 < bottom, r.y1 >= ctx->view_y, r.x2 < right, r.x1 >= ctx->view_x};
    if ((style & 0xFFFF) == 0xFFFF) {
        solid_outline(ctx, r, c, visible, color);
    } else {
        styled_outline(ctx, r, c, visible, color, style);
    }
}

bool misses_view(const GfxContext* ctx, const Rect& r) {
    const int64_t right = int64_t{ctx->view_x} + ctx->view_w;
    const int64_t bottom = int64_t{ctx->view_y} + ctx->view_h;
    return ctx->view_w <= 0 || ctx->view_h <= 0 || r.x2 < ctx->view_x || r.y2 < ctx->view_y ||
           r.x1 >= right || r.y1 >= bottom;
}

Rect clip_to_view(const GfxContext* ctx, const Rect& r) {
    const int32_t right = static_cast<int32_t>(int64_t{ctx->view_x} + ctx->view_w - 1);
    const int32_t bottom = static_cast<int32_t>(int64_t{ctx->view_y} + ctx->view_h - 1);
    return Rect{std::max(r.x1, ctx->view_x), std::max(r.y1, ctx->view_y), std::min(r.x2, right),
                std::min(r.y2, bottom)};
}

}  // namespace

void zq_hGfxBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color, int32_t filled,
                uint32_t style) {
    GfxContext* ctx = zq_hGetContext();
    if (!__zq_gfx) return;
    zq_hFixCoordsOrder(&x1, &y1, &x2, &y2);
    const Rect r{x1, y1, x2, y2};
    if (misses_view(ctx, r)) return;
    const Rect c = clip_to_view(ctx, r);
    zq_hGfxLock();
    if (filled) {
        fill_rows(ctx, c, color);
    } else {
        draw_outline(ctx, r, c, color, style);
    }
    zq_hMarkDirtyRows(ctx, c.y1, c.y2);
    zq_hGfxUnlock();
}
