// The line statement: straight lines clipped to the view and walked with an
// integer Bresenham loop under a 16-bit on/off pattern; the box forms go to
// zq_hGfxBox.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "gfx/gfx_internal.h"

namespace {

// Target pixels, wide enough for any translated coordinate: clipping works on
// the true endpoints, never on values clamped axis by axis.
struct Segment {
    int64_t x1, y1, x2, y2;
};

// Every clip seen in practice settles within five passes; a point that
// rounding keeps pushing back across a corner is given up after this many.
constexpr int kMaxClipPasses = 16;

int encode(const GfxContext* ctx, int64_t x, int64_t y) {
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

// Rounds toward zero. Edge crossings lie between the endpoints, so the bound
// only guards the conversion.
int64_t trunc_to_int(long double v) {
    constexpr long double kBound = 0x1p62L;
    if (!(v > -kBound)) return -static_cast<int64_t>(kBound);
    if (!(v < kBound)) return static_cast<int64_t>(kBound);
    return static_cast<int64_t>(v);
}

// Moves the first point onto the view edge named by the first bit set in
// code, along the line toward the second point. Extended precision all the
// way: a double slope already shifts edge pixels of the sector demo.
void move_to_edge(const GfxContext* ctx, int code, Segment& s) {
    const int64_t dx = s.x2 - s.x1;
    const int64_t dy = s.y2 - s.y1;
    const long double m =
        dx == 0 ? 1.0L : static_cast<long double>(dy) / static_cast<long double>(dx);
    if (code & 0x3) {
        const int64_t edge =
            (code & 0x1) ? int64_t{ctx->view_x} : int64_t{ctx->view_x} + ctx->view_w - 1;
        s.y1 = trunc_to_int(s.y1 + m * static_cast<long double>(edge - s.x1));
        s.x1 = edge;
    } else {
        const int64_t edge =
            (code & 0x8) ? int64_t{ctx->view_y} : int64_t{ctx->view_y} + ctx->view_h - 1;
        if (dx != 0) s.x1 = trunc_to_int(s.x1 + static_cast<long double>(edge - s.y1) / m);
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

// Coordinates beyond int32 pixels (up to 1e38 and infinities) have no exact
// pixel to clip from; such an endpoint is first brought in along the line to
// this distance, where the line still lies far outside every view.
constexpr long double kFarLimit = 2147483647.0L;
// Infinities become this, keeping their side; float never gets near it.
constexpr long double kHuge = 0x1p200L;

// Whether the value rounds to an int32 pixel (false for NaN and infinities).
bool rounds_into_int32(float v) {
    return v >= -2147483648.0f && v < 2147483648.0f;
}

struct FloatPoint {
    long double x, y;
};

long double tame(float v) {
    const long double w = v;
    return w > kHuge ? kHuge : w < -kHuge ? -kHuge : w;
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

// Narrows [lo, hi] along one axis to base + s * dir within -kFarLimit..kFarLimit.
bool narrow(long double base, long double dir, long double& lo, long double& hi) {
    if (dir == 0) return base >= -kFarLimit && base <= kFarLimit;
    const long double s1 = (-kFarLimit - base) / dir, s2 = (kFarLimit - base) / dir;
    lo = std::max(lo, std::min(s1, s2));
    hi = std::min(hi, std::max(s1, s2));
    return lo <= hi;
}

// A point of the shortened line as a target pixel: rounded half away from
// zero, plus the view origin, as the translation does.
int64_t far_pixel(const GfxContext* ctx, long double v, int32_t origin) {
    const long double r = v > 0 ? std::trunc(v + 0.5L) : std::trunc(v - 0.5L);
    return static_cast<int64_t>(r) + ((ctx->flags & CTX_VIEW_ABSOLUTE) ? 0 : origin);
}

// Replaces the endpoints beyond int32 pixels by the points where the line
// through both crosses the square of int32 pixels; false when it misses it.
bool shorten_far_line(const GfxContext* ctx, float x1, float y1, float x2, float y2, Segment& s) {
    const FloatPoint a{tame(x1), tame(y1)}, b{tame(x2), tame(y2)};
    NearLine line;
    if (!line_through(a, b, line)) return false;
    long double lo = line.along(a), hi = line.along(b);
    if (!narrow(line.base.x, line.dir.x, lo, hi)) return false;
    if (!narrow(line.base.y, line.dir.y, lo, hi)) return false;
    if (!(rounds_into_int32(x1) && rounds_into_int32(y1))) {
        const FloatPoint p = line.at(lo);
        s.x1 = far_pixel(ctx, p.x, ctx->view_x);
        s.y1 = far_pixel(ctx, p.y, ctx->view_y);
    }
    if (!(rounds_into_int32(x2) && rounds_into_int32(y2))) {
        const FloatPoint p = line.at(hi);
        s.x2 = far_pixel(ctx, p.x, ctx->view_x);
        s.y2 = far_pixel(ctx, p.y, ctx->view_y);
    }
    return true;
}

// Target pixels of both endpoints; false when the line cannot be seen (a NaN
// coordinate has no place on the screen). Endpoints whose pixels fit in int32
// are kept exactly as translated.
bool place_segment(const GfxContext* ctx, float x1, float y1, float x2, float y2, Segment& s) {
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) return false;
    zq_hTranslateCoordWide(ctx, x1, y1, &s.x1, &s.y1);
    zq_hTranslateCoordWide(ctx, x2, y2, &s.x2, &s.y2);
    if (ctx->flags & CTX_WINDOW_ON) return true;
    const bool near = rounds_into_int32(x1) && rounds_into_int32(y1) && rounds_into_int32(x2) &&
                      rounds_into_int32(y2);
    return near || shorten_far_line(ctx, x1, y1, x2, y2, s);
}

// A clipped segment: both points inside the view.
struct ViewSegment {
    int32_t x1, y1, x2, y2;
};

ViewSegment in_view(const Segment& s) {
    return ViewSegment{static_cast<int32_t>(s.x1), static_cast<int32_t>(s.y1),
                       static_cast<int32_t>(s.x2), static_cast<int32_t>(s.y2)};
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
    for (int32_t x = x1;; ++x) {
        pen.step(x, y);
        if (x == x2) break;
    }
}

// Integer Bresenham from the first point to the second, never reversed. The
// major axis (x when dx >= dy) steps every pixel, the minor one when the error
// is zero or positive.
void draw_general(Pen pen, const ViewSegment& s) {
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

// Every pixel through put_pixel, the runs as the walk defines them: reversed
// runs are walked ascending with the mirrored pattern.
void draw_plain(GfxContext* ctx, const ViewSegment& s, uint32_t color, uint32_t style) {
    const Pen pen{ctx, color, style, 0x8000};
    if (s.x1 == s.x2) {
        draw_vertical(pen, s.x1, s.y1, s.y2);
    } else if (s.y1 == s.y2) {
        draw_horizontal(pen, s.y1, s.x1, s.x2);
    } else {
        draw_general(pen, s);
    }
}

// A solid run is one pixel_set call; the rest is the target's line walk, from
// the first point to the second, which gives the same pixels as the ascending
// walks with a mirrored pattern.
void draw_fast(GfxContext* ctx, const ViewSegment& s, uint32_t color, uint32_t style) {
    if (s.x1 == s.x2 && s.y1 == s.y2) {  // one-pixel spans of filled shapes
        if (style & 0x8000) ctx->put_pixel(ctx, s.x1, s.y1, color);
        return;
    }
    if (s.y1 == s.y2 && s.x1 != s.x2 && style == 0xFFFF) {
        const int32_t left = std::min(s.x1, s.x2);
        uint8_t* row = ctx->line[s.y1] + static_cast<ptrdiff_t>(left) * ctx->target_bpp;
        const auto count = static_cast<size_t>(std::abs(s.x2 - s.x1)) + 1;
        ctx->pixel_set(row, static_cast<int>(color), count);
        return;
    }
    ctx->walk_line(ctx, s.x1, s.y1, s.x2, s.y2, color, style);
}

template <typename T>
inline void store_pixel(uint8_t* p, uint32_t color) {
    const T v = static_cast<T>(color);
    std::memcpy(p, &v, sizeof v);
}

// The walk of one line as address steps: the major axis steps every pixel, the
// minor one when the error is zero or positive.
struct Walk {
    int32_t major, minor;
    ptrdiff_t major_step, minor_step;  // in bytes
};

Walk walk_of(const GfxContext* ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
             ptrdiff_t size) {
    int32_t dx = x2 - x1, dy = y2 - y1;
    ptrdiff_t step_x = size, step_y = ctx->target_pitch;
    if (dx < 0) dx = -dx, step_x = -step_x;
    if (dy < 0) dy = -dy, step_y = -step_y;
    if (dx >= dy) return Walk{dx, dy, step_x, step_y};
    return Walk{dy, dx, step_y, step_x};
}

// Up to this many major steps the minor offset is computed in 32.32 fixed
// point: after k steps it is floor((2 minor k + major) / (2 major)), the count
// of minor steps the error walk takes. The increment is rounded up, so the
// value never falls below the true quotient and stays less than
// major * 2^-32 above it: below the distance 1 / (2 major) to the next
// integer while 2 major^2 < 2^32. No branch per pixel, no chain through the
// error; the random minor steps of an error walk defeat branch prediction.
constexpr int32_t kFixedPointMajor = 46340;

template <typename T, bool kStyled>
void walk_fixed(uint8_t* p, const Walk& w, uint32_t color, uint32_t style) {
    const uint64_t twice_major = 2 * static_cast<uint64_t>(w.major);
    const uint64_t step = w.major ? (static_cast<uint64_t>(w.minor) << 33) / twice_major + 1 : 0;
    uint64_t offset = uint64_t{1} << 31;  // one half
    uint32_t mask = 0x8000;
    for (int32_t k = 0; k <= w.major; ++k, offset += step) {
        if (!kStyled || (style & mask)) {
            const auto minor = static_cast<ptrdiff_t>(offset >> 32);
            store_pixel<T>(p + k * w.major_step + minor * w.minor_step, color);
        }
        if (kStyled) mask = rotate_mask(mask);
    }
}

// The error walk for longer lines (view sides are below 2^30, so twice a
// difference fits in int32).
template <typename T, bool kStyled>
void walk_error(uint8_t* p, const Walk& w, uint32_t color, uint32_t style) {
    int32_t error = 2 * w.minor - w.major;
    uint32_t mask = 0x8000;
    for (int32_t left = w.major;; --left) {
        if (!kStyled || (style & mask)) store_pixel<T>(p, color);
        if (kStyled) mask = rotate_mask(mask);
        if (left == 0) break;
        if (error >= 0) {
            p += w.minor_step;
            error -= 2 * w.major;
        }
        p += w.major_step;
        error += 2 * w.minor;
    }
}

template <typename T, bool kStyled>
void walk_pixels(GfxContext* ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color,
                 uint32_t style) {
    constexpr auto size = static_cast<ptrdiff_t>(sizeof(T));
    const Walk w = walk_of(ctx, x1, y1, x2, y2, size);
    uint8_t* p = ctx->line[y1] + static_cast<ptrdiff_t>(x1) * size;
    if (w.major <= kFixedPointMajor) {
        walk_fixed<T, kStyled>(p, w, color, style);
    } else {
        walk_error<T, kStyled>(p, w, color, style);
    }
}

template <typename T>
void walk_line(GfxContext* ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color,
               uint32_t style) {
    if (style == 0xFFFF) {
        walk_pixels<T, false>(ctx, x1, y1, x2, y2, color, style);
    } else {
        walk_pixels<T, true>(ctx, x1, y1, x2, y2, color, style);
    }
}

}  // namespace

bool zq_hClipLine(const GfxContext* ctx, int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
    Segment s{*x1, *y1, *x2, *y2};
    if (!clip_segment(ctx, s)) return false;
    const ViewSegment v = in_view(s);
    *x1 = v.x1;
    *y1 = v.y1;
    *x2 = v.x2;
    *y2 = v.y2;
    return true;
}

namespace {

// The caller's coordinates that round into one axis of the view: low < v <
// high. There the coordinates are above -0.5, where rounding half away from
// zero is adding 0.5 and truncating, exact in double for every float.
struct InnerAxis {
    double low, high;
    int32_t origin;  // what the translation adds
};

InnerAxis inner_axis(int32_t first, int32_t count, bool absolute) {
    const double start = absolute ? first : 0;  // the first pixel in the caller's coordinates
    return InnerAxis{std::max(start, 0.0) - 0.5, start + count - 0.5, absolute ? 0 : first};
}

bool inner_pixel(float f, const InnerAxis& axis, int32_t& out) {
    const double v = f;
    if (!(v > axis.low && v < axis.high)) return false;
    const auto pixel = static_cast<uint32_t>(static_cast<int32_t>(v + 0.5));
    out = static_cast<int32_t>(pixel + static_cast<uint32_t>(axis.origin));
    return true;
}

// Both points inside the view: the translated points need no clipping.
bool inner_segment(const GfxContext* ctx, float x1, float y1, float x2, float y2, ViewSegment& v) {
    if (ctx->flags & CTX_WINDOW_ON) return false;
    const bool absolute = ctx->flags & CTX_VIEW_ABSOLUTE;
    const InnerAxis across = inner_axis(ctx->view_x, ctx->view_w, absolute);
    const InnerAxis down = inner_axis(ctx->view_y, ctx->view_h, absolute);
    return inner_pixel(x1, across, v.x1) && inner_pixel(y1, down, v.y1) &&
           inner_pixel(x2, across, v.x2) && inner_pixel(y2, down, v.y2);
}

// The translated and clipped segment of a line that may leave the view; false
// when nothing of it is visible. Kept out of line: the common path stays lean.
[[gnu::noinline]] bool clipped_segment(const GfxContext* ctx, float x1, float y1, float x2,
                                       float y2, ViewSegment& v) {
    Segment s;
    if (!place_segment(ctx, x1, y1, x2, y2, s) || !clip_segment(ctx, s)) return false;
    v = in_view(s);
    return true;
}

// A line inside the view goes straight to its pixels.
bool visible_segment(const GfxContext* ctx, float x1, float y1, float x2, float y2,
                     ViewSegment& v) {
    return inner_segment(ctx, x1, y1, x2, y2, v) || clipped_segment(ctx, x1, y1, x2, y2, v);
}

// Marks the rows of a drawn segment. A single row (every span of a filled
// shape) is marked here rather than by a fill call.
void mark_rows(const GfxContext* ctx, int32_t y1, int32_t y2) {
    const GfxState* s = __zq_gfx;
    if (y1 != y2 || static_cast<uint32_t>(y1) >= static_cast<uint32_t>(s->height)) {
        zq_hMarkDirtyRows(ctx, y1, y2);
    } else if (ctx->line[0] == s->framebuffer) {
        s->dirty[y1] = 1;
    }
}

// The statement around a placement and a pixel walk, both template arguments
// so that the common path pays no call for them.
template <bool (*place)(const GfxContext*, float, float, float, float, ViewSegment&),
          void (*draw)(GfxContext*, const ViewSegment&, uint32_t, uint32_t)>
void line_statement(void* target, float x1, float y1, float x2, float y2, uint32_t color,
                    int32_t type, uint32_t style, int32_t flags) {
    GfxContext* ctx = zq_hGetContext();
    if (!__zq_gfx) return;
    const uint32_t pen_color = flags < 0 ? ctx->fg_color : zq_hFixColor(ctx->target_bpp, color);
    style &= 0xFFFF;
    zq_hPrepareTarget(ctx, target, pen_color);
    if (zq_hRelativeMoves(flags)) {
        zq_hFixRelative(ctx, flags, &x1, &y1, &x2, &y2);
    } else {  // the common case, without the call
        ctx->last_x = x2, ctx->last_y = y2;
    }
    if (type != 0) {
        int32_t bx1, by1, bx2, by2;
        zq_hTranslateCoord(ctx, x1, y1, &bx1, &by1);
        zq_hTranslateCoord(ctx, x2, y2, &bx2, &by2);
        zq_hFixCoordsOrder(&bx1, &by1, &bx2, &by2);
        zq_hGfxBox(bx1, by1, bx2, by2, pen_color, type == 2, style);
        return;
    }
    ViewSegment v;
    if (!place(ctx, x1, y1, x2, y2, v)) return;
    zq_hGfxLock();
    draw(ctx, v, pen_color, style);
    mark_rows(ctx, v.y1, v.y2);
    zq_hGfxUnlock();
}

}  // namespace

void zq_GfxLine(void* target, float x1, float y1, float x2, float y2, uint32_t color, int32_t type,
                uint32_t style, int32_t flags) {
    line_statement<visible_segment, draw_fast>(target, x1, y1, x2, y2, color, type, style, flags);
}

void zq_hGfxLinePlain(void* target, float x1, float y1, float x2, float y2, uint32_t color,
                      int32_t type, uint32_t style, int32_t flags) {
    line_statement<clipped_segment, draw_plain>(target, x1, y1, x2, y2, color, type, style, flags);
}

bool zq_hVisibleLine(const GfxContext* ctx, float x1, float y1, float x2, float y2, int32_t* x1_out,
                     int32_t* y1_out, int32_t* x2_out, int32_t* y2_out) {
    ViewSegment v;
    if (!visible_segment(ctx, x1, y1, x2, y2, v)) return false;
    *x1_out = v.x1;
    *y1_out = v.y1;
    *x2_out = v.x2;
    *y2_out = v.y2;
    return true;
}

void zq_hWalkLine1(GfxContext* ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color,
                   uint32_t style) {
    walk_line<uint8_t>(ctx, x1, y1, x2, y2, color, style);
}
void zq_hWalkLine2(GfxContext* ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color,
                   uint32_t style) {
    walk_line<uint16_t>(ctx, x1, y1, x2, y2, color, style);
}
void zq_hWalkLine4(GfxContext* ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color,
                   uint32_t style) {
    walk_line<uint32_t>(ctx, x1, y1, x2, y2, color, style);
}
void zq_hWalkLinePut(GfxContext* ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                     uint32_t color, uint32_t style) {
    draw_general(Pen{ctx, color, style, 0x8000}, ViewSegment{x1, y1, x2, y2});
}
