// Many solid lines of one colour at once. Opaque pixels of one colour replace
// what is under them whatever the order, so the lines' pixels are the union of
// their runs on each row: the union is gathered per row and each of its
// intervals written once, under one lock, instead of a clipped call, a lock and
// a refill of overlapping pixels per line.
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "gfx/gfx_internal.h"

namespace {

// The run gathered on one row: columns l..r; empty when l > r.
struct Run {
    int32_t l, r;
};
// Empty, and never adjacent to a column of any view (views lie within
// +/- 2^30), so a first run on the row does not merge with it.
constexpr Run kEmptyRun{INT32_MAX, INT32_MIN + 2};

// Rows on the stack; taller views take the heap.
constexpr int32_t kStackRows = 1024;

// The rows of the view, each with the run that is still growing. A run that
// neither overlaps nor touches it writes it out and takes its place: in a fan
// drawn in order the next run on a row nearly always touches the last one.
class RowUnion {
   public:
    RowUnion(GfxContext* ctx, uint32_t color, Run* rows)
        : ctx_(ctx),
          color_(color),
          first_row_(ctx->view_y),
          right_(ctx->view_x + ctx->view_w - 1),
          bottom_(ctx->view_y + ctx->view_h - 1),
          origin_x_((ctx->flags & CTX_VIEW_ABSOLUTE) ? 0 : ctx->view_x),
          origin_y_((ctx->flags & CTX_VIEW_ABSOLUTE) ? 0 : ctx->view_y),
          rows_(rows - ctx->view_y) {
        std::fill_n(rows, ctx->view_h, kEmptyRun);
    }

    void add(int32_t y, int32_t a, int32_t b) {
        Run& run = rows_[y];
        if (a <= run.r + 1 && b + 1 >= run.l) {
            run.l = std::min(run.l, a);
            run.r = std::max(run.r, b);
            return;
        }
        write(y, run);
        run = Run{a, b};
    }

    // A row from a to b (either order) in the caller's coordinates, as the
    // line statement translates and clips it.
    void add_span(int32_t y, int32_t a, int32_t b) {
        y += origin_y_;
        if (y < ctx_->view_y || y > bottom_) return;
        if (a > b) std::swap(a, b);
        a = std::max(a + origin_x_, ctx_->view_x);
        b = std::min(b + origin_x_, right_);
        if (a <= b) add(y, a, b);
    }

    // The pixels of a clipped line, row by row, as its walk from the first
    // point to the second plots them.
    void add_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        if (y1 == y2) return add(y1, std::min(x1, x2), std::max(x1, x2));
        const int32_t sx = x2 < x1 ? -1 : 1, sy = y2 < y1 ? -1 : 1;
        const int64_t dx = std::abs(int64_t{x2} - x1), dy = std::abs(int64_t{y2} - y1);
        if (dx >= dy) return add_flat(x1, y1, sx, sy, dx, dy);
        // One pixel per row; the column steps when the error is zero or more.
        int64_t error = 2 * dx - dy;
        int32_t x = x1, y = y1;
        for (int64_t left = dy;; --left) {
            add(y, x, x);
            if (left == 0) break;
            if (error >= 0) x += sx, error -= 2 * dy;
            y += sy;
            error += 2 * dx;
        }
    }

    // Writes what is left and marks the rows that have pixels.
    void finish() {
        const GfxState* s = __zq_gfx;
        const bool on_screen = ctx_->line[0] == s->framebuffer;
        for (int32_t y = first_row_; y < first_row_ + ctx_->view_h; ++y) {
            const Run& run = rows_[y];
            if (run.l > run.r) continue;
            write(y, run);
            if (on_screen) s->dirty[y] = 1;
        }
    }

   private:
    // A line with x as its major axis: after k steps the walk has made
    // floor((2 dy k + dx) / (2 dx)) row steps, so row j (j >= 1) starts at
    // step ceil(dx (2j - 1) / (2 dy)). The quotient is kept by its remainder
    // from row to row.
    void add_flat(int32_t x1, int32_t y1, int32_t sx, int32_t sy, int64_t dx, int64_t dy) {
        const int64_t divisor = 2 * dy;
        const int64_t q_step = 2 * dx / divisor, r_step = 2 * dx % divisor;
        int64_t start = 0;                            // first step of the current row
        int64_t next = (dx + divisor - 1) / divisor;  // first step of the next row
        int64_t rem = next * divisor - dx;            // next * divisor - dx (2j - 1)
        int32_t y = y1;
        for (int64_t j = 0;; ++j) {
            const int64_t end = j == dy ? dx : next - 1;
            const int32_t a = x1 + static_cast<int32_t>(sx * start);
            const int32_t b = x1 + static_cast<int32_t>(sx * end);
            add(y, std::min(a, b), std::max(a, b));
            if (j == dy) break;
            start = next;
            next += q_step;
            rem -= r_step;
            if (rem < 0) rem += divisor, ++next;
            y += sy;
        }
    }

    void write(int32_t y, const Run& run) {
        if (run.l > run.r) return;
        uint8_t* p = ctx_->line[y] + static_cast<ptrdiff_t>(run.l) * ctx_->target_bpp;
        ctx_->pixel_set(p, static_cast<int>(color_), static_cast<size_t>(run.r - run.l + 1));
    }

    GfxContext* ctx_;
    uint32_t color_;
    int32_t first_row_, right_, bottom_;  // the view's last column and row
    int32_t origin_x_, origin_y_;         // what the translation adds
    Run* rows_;                           // indexed by target row
};

// Whether the line statement sees the segment's coordinates unchanged: every
// int32 of this size is a float.
bool exact_in_float(const ZqGfxSegment& g) {
    constexpr uint32_t kLimit = 1u << 24;
    auto near = [](int32_t v) { return static_cast<uint32_t>(v) + kLimit <= 2 * kLimit; };
    return near(g.x1) && near(g.y1) && near(g.x2) && near(g.y2);
}

void draw_one_by_one(void* target, const ZqGfxSegment* segments, int32_t count, uint32_t color) {
    for (int32_t i = 0; i < count; ++i) {
        const ZqGfxSegment& s = segments[i];
        zq_GfxLine(target, float(s.x1), float(s.y1), float(s.x2), float(s.y2), color, 0, 0xFFFF, 0);
    }
}

// Whether the batch's pixels are a union: opaque writes of one colour, with
// the translation that is rounding plus the view origin.
bool union_holds(const GfxContext* ctx, const GfxState* s, uint32_t pen) {
    const bool blended = (s->flags & SCREEN_ALPHA_PRIMITIVES) && ctx->target_bpp == 4 &&
                         (pen & 0xFF000000u) != 0xFF000000u;
    return !blended && !(ctx->flags & CTX_WINDOW_ON) && ctx->view_w > 0 && ctx->view_h > 0;
}

}  // namespace

void zq_GfxLineBatch(void* target, const ZqGfxSegment* segments, int32_t count, uint32_t color) {
    GfxContext* ctx = zq_hGetContext();
    const GfxState* s = __zq_gfx;
    if (!s || count <= 0) return;
    // The colour of a single call is fixed for the target drawn before it;
    // when a change of target changes it, the calls differ among themselves.
    const uint32_t pen = zq_hFixColor(ctx->target_bpp, color);
    zq_hPrepareTarget(ctx, target, pen);
    if (pen != zq_hFixColor(ctx->target_bpp, color) || !union_holds(ctx, s, pen)) {
        return draw_one_by_one(target, segments, count, color);
    }
    Run stack_rows[kStackRows];
    Run* rows = stack_rows;
    if (ctx->view_h > kStackRows) {
        rows = static_cast<Run*>(std::malloc(sizeof(Run) * static_cast<size_t>(ctx->view_h)));
        if (!rows) return draw_one_by_one(target, segments, count, color);
    }
    RowUnion rows_union(ctx, pen, rows);
    zq_hGfxLock();
    // Back to front: a shape outlined and then filled has each outline line
    // beside the fill that follows it, which then comes first and takes it in.
    for (int32_t i = count - 1; i >= 0; --i) {
        const ZqGfxSegment& g = segments[i];
        if (g.y1 == g.y2 && exact_in_float(g)) {
            rows_union.add_span(g.y1, g.x1, g.x2);
            continue;
        }
        int32_t x1, y1, x2, y2;
        if (zq_hVisibleLine(ctx, float(g.x1), float(g.y1), float(g.x2), float(g.y2), &x1, &y1, &x2,
                            &y2)) {
            rows_union.add_line(x1, y1, x2, y2);
        }
    }
    rows_union.finish();
    zq_hGfxUnlock();
    ctx->last_x = float(segments[count - 1].x2);
    ctx->last_y = float(segments[count - 1].y2);
    if (rows != stack_rows) std::free(rows);
}
