// The display drivers in the order they are tried. OpenGL is minimal for now:
// its init fails, so the order falls through it.
#include "gfx/gfx_internal.h"

namespace {
int32_t driver_init(const char*, int32_t, int32_t, int32_t, int32_t, int32_t) {
    return -1;
}
}  // namespace

GfxDriver zq_gfxDriverOpenGL = {"OpenGL", driver_init, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr,  nullptr,     nullptr, nullptr, nullptr, nullptr, nullptr};

extern GfxDriver zq_gfxDriverDirectDraw;  // gfx_driver_ddraw.cpp
extern GfxDriver zq_gfxDriverGDI;         // gfx_driver_gdi.cpp

namespace {
const GfxDriver* drivers[] = {&zq_gfxDriverDirectDraw, &zq_gfxDriverGDI, &zq_gfxDriverOpenGL,
                              nullptr};
}  // namespace

const GfxDriver** __zq_gfx_drivers_list = drivers;
