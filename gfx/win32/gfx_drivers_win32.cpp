// The display drivers in the order they are tried. The records are minimal for
// now: their init fails, so a screen opens only with the Null driver until the
// real drivers take these slots.
#include "gfx/gfx_internal.h"

namespace {
int32_t driver_init(const char*, int32_t, int32_t, int32_t, int32_t, int32_t) {
    return -1;
}
}  // namespace

GfxDriver zq_gfxDriverDirectDraw = {"DirectX", driver_init, nullptr, nullptr, nullptr,
                                    nullptr,   nullptr,     nullptr, nullptr, nullptr,
                                    nullptr,   nullptr,     nullptr, nullptr};
GfxDriver zq_gfxDriverGDI = {"GDI",   driver_init, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr,     nullptr, nullptr, nullptr, nullptr, nullptr};
GfxDriver zq_gfxDriverOpenGL = {"OpenGL", driver_init, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr,  nullptr,     nullptr, nullptr, nullptr, nullptr, nullptr};

namespace {
const GfxDriver* drivers[] = {&zq_gfxDriverDirectDraw, &zq_gfxDriverGDI, &zq_gfxDriverOpenGL,
                              nullptr};
}  // namespace

const GfxDriver** __zq_gfx_drivers_list = drivers;
