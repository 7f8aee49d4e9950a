// The display drivers of the Linux build, in the order they are tried. The
// X11 driver loads its libraries when it opens, so a program starts on
// machines without X and its screen fails there as when no driver opens.
#include "gfx/gfx_internal.h"

extern const GfxDriver zq_gfxDriverX11;  // x11/gfx_driver_x11.cpp

namespace {
const GfxDriver* drivers[] = {&zq_gfxDriverX11, nullptr};
}  // namespace

const GfxDriver** __zq_gfx_drivers_list = drivers;
