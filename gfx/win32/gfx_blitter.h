// Blitters: copy the changed framebuffer lines of the current screen into a
// display image of another pixel format.
#pragma once

#include <cstdint>

using Blitter = void (*)(uint8_t* dest, int32_t pitch);

// The blitter for a display of `depth` bits in RGB (rgb != 0) or BGR order;
// null when none converts the current framebuffer to it.
Blitter zq_hGetBlitter(int depth, int rgb);
