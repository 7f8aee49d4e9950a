// This platform has no display drivers: a screen opens only with the Null
// driver ("ZQGFX" set to "null", or flags -1).
#include "gfx/gfx_internal.h"

namespace {
const GfxDriver* drivers[] = {nullptr};
}  // namespace

const GfxDriver** __zq_gfx_drivers_list = drivers;
