// The framebuffer of a 32-bit screen as a binary PPM, the form the end-to-end
// tools compare screenshots with.
#pragma once

#include "gfx/gfx_internal.h"

// False when the screen is not 32-bit or the file cannot be written whole.
bool zq_demo_write_ppm(const char* path, const GfxState& screen);
