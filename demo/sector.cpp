#include "demo/sector.h"

#include <cmath>
#include <utility>

#include "demo/x87_trig.h"
#include "zq/zq_gfx.h"

namespace {
constexpr double PI = 3.141593;
constexpr uint32_t kStyleSolid = 0xFFFF;

uint32_t sector_color(uint8_t red, uint8_t green, uint8_t blue) {
    return 0xFF000000u | (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
}

// Rounds to nearest, ties to even, as the processor's default conversion does:
// the x87 rounding instruction itself, which the library call wraps at many
// times the cost.
int32_t round_even(long double v) {
    long double r;
    __asm__("frndint" : "=t"(r) : "0"(v));
    return static_cast<int32_t>(r);
}

// 32-bit two's-complement arithmetic of the 16.16 edge walk, without the
// undefined behaviour of signed overflow.
int32_t wrap_add(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t fixed(int32_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(v) << 16);
}
int32_t edge_step(int32_t dx, int32_t dy) {
    return dy == 0 ? 0 : fixed(dx) / dy;
}

// The triangle's spans, top row first, each as span(y, x_first, x_last).
template <typename Pen>
void triangle_spans(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3,
                    Pen& pen) {
    if (Y2 < Y1) std::swap(X1, X2), std::swap(Y1, Y2);
    if (Y3 < Y1) std::swap(X1, X3), std::swap(Y1, Y3);
    if (Y3 < Y2) std::swap(X2, X3), std::swap(Y2, Y3);

    const int32_t DELTA1 = edge_step(X2 - X1, Y2 - Y1);
    const int32_t DELTA2 = edge_step(X3 - X2, Y3 - Y2);
    const int32_t DELTA3 = edge_step(X1 - X3, Y1 - Y3);

    int32_t LX = fixed(X1), RX = fixed(X1);
    for (int32_t Y = Y1; Y <= Y2 - 1; ++Y) {
        pen.line(LX >> 16, Y, RX >> 16, Y);
        LX = wrap_add(LX, DELTA1);
        RX = wrap_add(RX, DELTA3);
    }
    LX = fixed(X2);
    for (int32_t Y = Y2; Y <= Y3; ++Y) {
        pen.line(LX >> 16, Y, RX >> 16, Y);
        LX = wrap_add(LX, DELTA2);
        RX = wrap_add(RX, DELTA3);
    }
}

// The fan: each step's outline (three lines) and then its spans.
template <typename Pen>
void sector_fan(int32_t X, int32_t Y, int32_t RADIUS, int32_t ASTART, int32_t AEND,
                int32_t STEPSIZE, Pen& pen) {
    const long double a = static_cast<long double>(ASTART) * PI / 180.0;
    int32_t OLDX = round_even(X + x87_cos(a) * RADIUS);
    int32_t OLDY = round_even(Y + x87_sin(a) * RADIUS);
    const int32_t bound = AEND;
    const int32_t step = STEPSIZE;
    for (int32_t I = ASTART + step; step >= 0 ? I <= bound : I >= bound; I += step) {
        const float ANGLE = static_cast<float>(static_cast<long double>(I) * PI / 180.0);
        const int32_t X1 = X, Y1 = Y;
        const int32_t X2 = round_even(X + x87_cos(ANGLE) * RADIUS);
        const int32_t Y2 = round_even(Y + x87_sin(ANGLE) * RADIUS);
        const int32_t X3 = OLDX, Y3 = OLDY;
        pen.line(X1, Y1, X2, Y2);
        pen.line(X2, Y2, X3, Y3);
        pen.line(X3, Y3, X1, Y1);
        triangle_spans(X1, Y1, X2, Y2, X3, Y3, pen);
        OLDX = X2;
        OLDY = Y2;
    }
}

// One zq_GfxLine call per line.
struct CallPen {
    uint32_t color;
    void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const {
        zq_GfxLine(nullptr, static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                   static_cast<float>(y2), color, 0, kStyleSolid, 0);
    }
};

// The same lines in order, handed over in batches: one lock and one write per
// row for each batch instead of a call per line.
class BatchPen {
   public:
    explicit BatchPen(uint32_t color) : color_(color) {}
    BatchPen(const BatchPen&) = delete;
    BatchPen& operator=(const BatchPen&) = delete;
    ~BatchPen() { flush(); }

    void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        if (count_ == kCapacity) flush();
        segments_[count_++] = ZqGfxSegment{x1, y1, x2, y2};
    }

   private:
    // Most of the demo's sectors fit in one batch; larger ones take several.
    static constexpr int32_t kCapacity = 4096;

    void flush() {
        if (count_) zq_GfxLineBatch(nullptr, segments_, count_, color_);
        count_ = 0;
    }

    uint32_t color_;
    int32_t count_ = 0;
    ZqGfxSegment segments_[kCapacity];
};
}  // namespace

void DRAW_SEGMENT(int32_t X, int32_t Y, int32_t RADIUS, int32_t ASTART, int32_t AEND,
                  int32_t STEPSIZE, uint8_t RED, uint8_t GREEN, uint8_t BLUE) {
    BatchPen pen(sector_color(RED, GREEN, BLUE));
    sector_fan(X, Y, RADIUS, ASTART, AEND, STEPSIZE, pen);
}

void DRAW_SEGMENT_PLAIN(int32_t X, int32_t Y, int32_t RADIUS, int32_t ASTART, int32_t AEND,
                        int32_t STEPSIZE, uint8_t RED, uint8_t GREEN, uint8_t BLUE) {
    const CallPen pen{sector_color(RED, GREEN, BLUE)};
    sector_fan(X, Y, RADIUS, ASTART, AEND, STEPSIZE, pen);
}

void REL_TRI_F(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, uint8_t RED,
               uint8_t GREEN, uint8_t BLUE) {
    const CallPen pen{sector_color(RED, GREEN, BLUE)};
    triangle_spans(X1, Y1, X2, Y2, X3, Y3, pen);
}
