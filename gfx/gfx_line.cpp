// The line statement: straight lines clipped to the view and walked with an
// integer Bresenham loop under a 16-bit on/off pattern; the box forms go to
// zq_hGfxBox.
#include <algorithm>
#include <cmath>
#include <utility>

#include "gfx/gfx_internal.h"

namespace {

struct Segment {
    int32_t x1, y1, x2, y2;
};

// Every clip seen in practice settles within five passes; a point that
// rounding keeps pushing back across a corner is given up after this many.
constexpr int kMaxClipPasses = 16;

int encode(const GfxContext* ctx, int32_t x, int32_t y) {
    const int64_t right = int64_t{ctx->view_x} + ctx->view_w;
    const int64_t bottom = int64_t{ctx->view_y} + ctx->view_h;
    int code = 0;
    if (x < ctx->view_x) {
        code |= 0x1;
    } else if (x >= right) {
        code |= 0x2;
    }
    if (y >= bottom) {
        code |= 0x4;
    } else if (y < ctx->view_y) {
        code |= 0x8;
    }
    return code;
}

uint32_t reverse_mask(uint32_t mask) {
    mask = ((mask >> 1) & 0x5555) | ((mask & 0x5555) << 1);
    mask = ((mask >> 2) & 0x3333) | ((mask & 0x3333) << 2);
    mask = ((mask >> 4) & 0x0F0F) | ((mask & 0x0F0F) << 4);
    return ((mask >> 8) & 0xFF) | ((mask & 0xFF) << 8);
}

// Rounds toward zero, saturating at the int32 range.
int32_t trunc_to_int(long double v) {
    if (!(v > -2147483649.0L)) return INT32_MIN;
    if (!(v < 2147483648.0L)) return INT32_MAX;
    return static_cast<int32_t>(v);
}

// Moves the first point onto the view edge named by the first bit set in
// code, along the line toward the second point. Extended precision all the
// way: a double slope already shifts edge pixels of the sector demo.
void move_to_edge(const GfxContext* ctx, int code, Segment& s) {
    const int64_t dx = int64_t{s.x2} - s.x1;
    const int64_t dy = int64_t{s.y2} - s.y1;
    const long double m =
        dx == 0 ? 1.0L : static_cast<long double>(dy) / static_cast<long double>(dx);
    if (code & 0x1) {
        const int32_t edge = ctx->view_x;
        s.y1 = trunc_to_int(s.y1 + m * static_cast<long double>(int64_t{edge} - s.x1));
        s.x1 = edge;
    } else if (code & 0x2) {
        const int32_t edge = static_cast<int32_t>(int64_t{ctx->view_x} + ctx->view_w - 1);
        s.y1 = trunc_to_int(s.y1 + m * static_cast<long double>(int64_t{edge} - s.x1));
        s.x1 = edge;
    } else {
        const int32_t edge = (code & 0x8)
                                 ? ctx->view_y
                                 : static_cast<int32_t>(int64_t{ctx->view_y} + ctx->view_h - 1);
        if (dx != 0) s.x1 = trunc_to_int(s.x1 + static_cast<long double>(int64_t{edge} - s.y1) / m);
        s.y1 = edge;
    }
}

// Cohen-Sutherland on the integer endpoints. When only the second point is
// outside, the points are exchanged for good: drawing starts from the clipped
// former second point.
bool clip_segment(const GfxContext* ctx, Segment& s) {
    if (ctx->view_w <= 0 || ctx->view_h <= 0) return false;
    for (int pass = 0; pass < kMaxClipPasses; ++pass) {
        int code1 = encode(ctx, s.x1, s.y1);
        const int code2 = encode(ctx, s.x2, s.y2);
        if ((code1 | code2) == 0) return true;
        if (code1 & code2) return false;
        if (code1 == 0) {
            std::swap(s.x1, s.x2);
            std::swap(s.y1, s.y2);
            code1 = code2;
        }
        move_to_edge(ctx, code1, s);
    }
    return false;
}

// Endpoints farther than this from the view are first brought in along the
// line: the coordinate translation clamps each axis on its own, which would
// bend a line toward a huge point.
constexpr long double kNearMargin = 1 << 21;
// Infinities become this, keeping their side; float never gets near it.
constexpr long double kHuge = 0x1p200L;

struct FloatPoint {
    long double x, y;
};

struct FloatRect {
    long double left, top, right, bottom;
};

long double tame(float v) {
    const long double w = v;
    return w > kHuge ? kHuge : w < -kHuge ? -kHuge : w;
}

bool inside(const FloatRect& r, FloatPoint p) {
    return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;
}

// A line as its point nearest the origin and a unit direction. Built from the
// implicit form, whose products of floats are exact in extended precision, so
// the part of a line between two huge points that passes the view keeps its
// place; interpolating between the points would cancel it away.
struct NearLine {
    FloatPoint base;
    FloatPoint dir;

    long double along(FloatPoint p) const {
        return (p.x - base.x) * dir.x + (p.y - base.y) * dir.y;
    }
    FloatPoint at(long double s) const {
        return FloatPoint{base.x + s * dir.x, base.y + s * dir.y};
    }
};

// False when a and b coincide.
bool line_through(FloatPoint a, FloatPoint b, NearLine& line) {
    const long double na = b.y - a.y, nb = a.x - b.x;
    const long double c = a.x * b.y - b.x * a.y;
    const long double norm2 = na * na + nb * nb;
    if (norm2 == 0) return false;
    const long double len = std::sqrt(norm2);
    line.base = FloatPoint{na * c / norm2, nb * c / norm2};
    line.dir = FloatPoint{-nb / len, na / len};
    return true;
}

// Narrows [lo, hi] along one axis to base + s * dir within [min, max].
bool narrow(long double base, long double dir, long double min, long double max, long double& lo,
            long double& hi) {
    if (dir == 0) return base >= min && base <= max;
    const long double s1 = (min - base) / dir, s2 = (max - base) / dir;
    lo = std::max(lo, std::min(s1, s2));
    hi = std::min(hi, std::max(s1, s2));
    return lo <= hi;
}

// The view in the caller's coordinates, widened by kNearMargin.
FloatRect near_view(const GfxContext* ctx) {
    const bool absolute = ctx->flags & CTX_VIEW_ABSOLUTE;
    const long double left = absolute ? ctx->view_x : 0;
    const long double top = absolute ? ctx->view_y : 0;
    return FloatRect{left - kNearMargin, top - kNearMargin, left + ctx->view_w - 1 + kNearMargin,
                     top + ctx->view_h - 1 + kNearMargin};
}

// The common case of both points near the view, tested in double: exact for
// float coordinates and int32 edges, so it agrees with the extended test below
// but keeps the x87 unit off the drawing path.
bool both_near(const GfxContext* ctx, float x1, float y1, float x2, float y2) {
    const bool absolute = ctx->flags & CTX_VIEW_ABSOLUTE;
    const double margin = static_cast<double>(kNearMargin);
    const double left = (absolute ? ctx->view_x : 0) - margin;
    const double top = (absolute ? ctx->view_y : 0) - margin;
    const double right = left + ctx->view_w - 1 + 2 * margin;
    const double bottom = top + ctx->view_h - 1 + 2 * margin;
    auto near = [&](double x, double y) {
        return x >= left && x <= right && y >= top && y <= bottom;
    };
    return near(x1, y1) && near(x2, y2);
}

// False when the line cannot be seen: a NaN coordinate has no place on the
// screen, and a far line that misses the widened view misses the view.
bool bring_near_view(const GfxContext* ctx, float& x1, float& y1, float& x2, float& y2) {
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) return false;
    if (ctx->flags & CTX_WINDOW_ON) return true;
    if (both_near(ctx, x1, y1, x2, y2)) return true;
    const FloatRect r = near_view(ctx);
    const FloatPoint a{tame(x1), tame(y1)}, b{tame(x2), tame(y2)};
    const bool a_near = inside(r, a), b_near = inside(r, b);
    if (a_near && b_near) return true;
    NearLine line;
    if (!line_through(a, b, line)) return false;
    long double lo = line.along(a), hi = line.along(b);
    if (!narrow(line.base.x, line.dir.x, r.left, r.right, lo, hi)) return false;
    if (!narrow(line.base.y, line.dir.y, r.top, r.bottom, lo, hi)) return false;
    if (!a_near) {
        const FloatPoint p = line.at(lo);
        x1 = static_cast<float>(p.x);
        y1 = static_cast<float>(p.y);
    }
    if (!b_near) {
        const FloatPoint p = line.at(hi);
        x2 = static_cast<float>(p.x);
        y2 = static_cast<float>(p.y);
    }
    return true;
}

inline uint32_t rotate_mask(uint32_t mask) {
    return (mask >> 1) | ((mask & 1) << 15);
}

// The pen of one line: the pattern state travels with the pixel walk.
struct Pen {
    GfxContext* ctx;
    uint32_t color;
    uint32_t style;
    uint32_t mask;

    void step(int32_t x, int32_t y) {
        if (style & mask) ctx->put_pixel(ctx, x, y, color);
        mask = rotate_mask(mask);
    }
};

// Orders a run ascending; walking it backwards keeps the pattern of the
// original direction when the pattern is mirrored and started at the far end.
void order_run(int32_t& a, int32_t& b, Pen& pen) {
    if (a <= b) return;
    std::swap(a, b);
    pen.style = reverse_mask(pen.style);
    pen.mask = 1u << ((b - a) & 15);
}

void draw_vertical(Pen pen, int32_t x, int32_t y1, int32_t y2) {
    order_run(y1, y2, pen);
    for (int32_t y = y1;; ++y) {
        pen.step(x, y);
        if (y == y2) break;
    }
}

void draw_horizontal(Pen pen, int32_t y, int32_t x1, int32_t x2) {
    order_run(x1, x2, pen);
    GfxContext* ctx = pen.ctx;
    if (pen.style == 0xFFFF) {
        uint8_t* row = ctx->line[y] + static_cast<ptrdiff_t>(x1) * ctx->target_bpp;
        ctx->pixel_set(row, static_cast<int>(pen.color), static_cast<size_t>(int64_t{x2} - x1 + 1));
        return;
    }
    for (int32_t x = x1;; ++x) {
        pen.step(x, y);
        if (x == x2) break;
    }
}

// Integer Bresenham from the first point to the second, never reversed. The
// major axis (x when dx >= dy) steps every pixel, the minor one when the error
// is zero or positive.
void draw_general(Pen pen, const Segment& s) {
    int32_t pos[2] = {s.x1, s.y1};
    const int64_t delta[2] = {int64_t{s.x2} - s.x1, int64_t{s.y2} - s.y1};
    const int32_t step[2] = {delta[0] < 0 ? -1 : 1, delta[1] < 0 ? -1 : 1};
    const int64_t length[2] = {delta[0] < 0 ? -delta[0] : delta[0],
                               delta[1] < 0 ? -delta[1] : delta[1]};
    const int major = length[0] >= length[1] ? 0 : 1;
    const int minor = 1 - major;
    int64_t error = 2 * length[minor] - length[major];
    for (int64_t left = length[major];; --left) {
        pen.step(pos[0], pos[1]);
        if (left == 0) break;
        if (error >= 0) {
            pos[minor] += step[minor];
            error -= 2 * length[major];
        }
        pos[major] += step[major];
        error += 2 * length[minor];
    }
}

void draw_segment(GfxContext* ctx, const Segment& s, uint32_t color, uint32_t style) {
    const Pen pen{ctx, color, style, 0x8000};
    if (s.x1 == s.x2) {
        draw_vertical(pen, s.x1, s.y1, s.y2);
    } else if (s.y1 == s.y2) {
        draw_horizontal(pen, s.y1, s.x1, s.x2);
    } else {
        draw_general(pen, s);
    }
}

}  // namespace

bool zq_hClipLine(const GfxContext* ctx, int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
    Segment s{*x1, *y1, *x2, *y2};
    const bool visible = clip_segment(ctx, s);
    *x1 = s.x1;
    *y1 = s.y1;
    *x2 = s.x2;
    *y2 = s.y2;
    return visible;
}

void zq_GfxLine(void* target, float x1, float y1, float x2, float y2, uint32_t color, int32_t type,
                uint32_t style, int32_t flags) {
    GfxContext* ctx = zq_hGetContext();
    if (!__zq_gfx) return;
    const uint32_t pen_color = flags < 0 ? ctx->fg_color : zq_hFixColor(ctx->target_bpp, color);
    style &= 0xFFFF;
    zq_hPrepareTarget(ctx, target, pen_color);
    zq_hFixRelative(ctx, flags, &x1, &y1, &x2, &y2);
    Segment s{};
    if (type != 0) {
        zq_hTranslateCoord(ctx, x1, y1, &s.x1, &s.y1);
        zq_hTranslateCoord(ctx, x2, y2, &s.x2, &s.y2);
        zq_hFixCoordsOrder(&s.x1, &s.y1, &s.x2, &s.y2);
        zq_hGfxBox(s.x1, s.y1, s.x2, s.y2, pen_color, type == 2, style);
        return;
    }
    if (!bring_near_view(ctx, x1, y1, x2, y2)) return;
    zq_hTranslateCoord(ctx, x1, y1, &s.x1, &s.y1);
    zq_hTranslateCoord(ctx, x2, y2, &s.x2, &s.y2);
    if (!clip_segment(ctx, s)) return;
    zq_hGfxLock();
    draw_segment(ctx, s, pen_color, style);
    zq_hMarkDirtyRows(ctx, s.y1, s.y2);
    zq_hGfxUnlock();
}
