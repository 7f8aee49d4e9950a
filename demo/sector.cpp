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

// Rounds to nearest, ties to even, as the processor's default conversion does.
int32_t round_even(long double v) {
    return static_cast<int32_t>(std::nearbyintl(v));
}

void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color) {
    zq_GfxLine(nullptr, static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
               static_cast<float>(y2), color, 0, kStyleSolid, 0);
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
}  // namespace

void DRAW_SEGMENT(int32_t X, int32_t Y, int32_t RADIUS, int32_t ASTART, int32_t AEND,
                  int32_t STEPSIZE, uint8_t RED, uint8_t GREEN, uint8_t BLUE) {
    const uint32_t C = sector_color(RED, GREEN, BLUE);
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
        line(X1, Y1, X2, Y2, C);
        line(X2, Y2, X3, Y3, C);
        line(X3, Y3, X1, Y1, C);
        REL_TRI_F(X1, Y1, X2, Y2, X3, Y3, RED, GREEN, BLUE);
        OLDX = X2;
        OLDY = Y2;
    }
}

void REL_TRI_F(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, uint8_t RED,
               uint8_t GREEN, uint8_t BLUE) {
    const uint32_t C = sector_color(RED, GREEN, BLUE);
    if (Y2 < Y1) std::swap(X1, X2), std::swap(Y1, Y2);
    if (Y3 < Y1) std::swap(X1, X3), std::swap(Y1, Y3);
    if (Y3 < Y2) std::swap(X2, X3), std::swap(Y2, Y3);

    const int32_t DELTA1 = edge_step(X2 - X1, Y2 - Y1);
    const int32_t DELTA2 = edge_step(X3 - X2, Y3 - Y2);
    const int32_t DELTA3 = edge_step(X1 - X3, Y1 - Y3);

    int32_t LX = fixed(X1), RX = fixed(X1);
    for (int32_t Y = Y1; Y <= Y2 - 1; ++Y) {
        line(LX >> 16, Y, RX >> 16, Y, C);
        LX = wrap_add(LX, DELTA1);
        RX = wrap_add(RX, DELTA3);
    }
    LX = fixed(X2);
    for (int32_t Y = Y2; Y <= Y3; ++Y) {
        line(LX >> 16, Y, RX >> 16, Y, C);
        LX = wrap_add(LX, DELTA2);
        RX = wrap_add(RX, DELTA3);
    }
}
