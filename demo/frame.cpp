#include "demo/frame.h"

#include <cmath>

#include "demo/sector.h"
#include "zq/zq_gfx.h"

namespace {
// The product of a draw and its scale, rounded to nearest with ties to even.
int32_t scaled_draw(double scale) {
    long double product = static_cast<long double>(zq_Rnd(1)) * scale;
    return static_cast<int32_t>(std::nearbyintl(product));
}
}  // namespace

SectorParams DRAW_PARAMS() {
    SectorParams p{};
    p.BLUE = static_cast<uint8_t>(scaled_draw(255.0));
    p.GREEN = static_cast<uint8_t>(scaled_draw(255.0));
    p.RED = static_cast<uint8_t>(scaled_draw(255.0));
    p.AEND = scaled_draw(360.0);
    p.ASTART = scaled_draw(360.0);
    p.RADIUS = scaled_draw(300.0);
    p.Y = scaled_draw(480.0);
    p.X = scaled_draw(640.0);
    return p;
}

SectorParams DRAW_FRAME() {
    SectorParams p = DRAW_PARAMS();
    DRAW_SEGMENT(p.X, p.Y, p.RADIUS, p.ASTART, p.AEND, STEPSIZE, p.RED, p.GREEN, p.BLUE);
    return p;
}

void OPEN_DEMO_SCREEN() {
    zq_GfxScreen(18, 32, 0, 0, 0);
    zq_Cls(static_cast<int32_t>(0xFFFF0000u));
}
