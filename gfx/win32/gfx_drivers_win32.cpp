// The display drivers in the order they are tried.
#include "gfx/gfx_internal.h"

extern GfxDriver zq_gfxDriverDirectDraw;  // gfx_driver_ddraw.cpp
extern GfxDriver zq_gfxDriverGDI;         // gfx_driver_gdi.cpp
extern GfxDriver zq_gfxDriverOpenGL;      // gfx_driver_opengl.cpp

namespace {
const GfxDriver* drivers[] = {&zq_gfxDriverDirectDraw, &zq_gfxDriverGDI, &zq_gfxDriverOpenGL,
                              nullptr};
}  // namespace

const GfxDriver** __zq_gfx_drivers_list = drivers;
