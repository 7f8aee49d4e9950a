// Writes the open screen's framebuffer (32 bits per pixel) as a binary PPM, so
// a script can compare a window's screenshot with what the host build drew.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "gfx/gfx_internal.h"

inline bool write_screen_ppm(const char* path) {
    const GfxState* s = __zq_gfx;
    if (!s || s->bpp != 4) return false;
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", static_cast<int>(s->width), static_cast<int>(s->height));
    std::vector<uint8_t> rgb(static_cast<size_t>(s->width) * 3);
    bool ok = true;
    for (int32_t y = 0; y < s->height && ok; ++y) {
        const uint8_t* line = s->framebuffer + static_cast<ptrdiff_t>(y) * s->pitch;
        for (int32_t x = 0; x < s->width; ++x) {
            uint32_t pixel = 0;
            std::memcpy(&pixel, line + static_cast<ptrdiff_t>(x) * 4, 4);
            uint8_t* out = &rgb[static_cast<size_t>(x) * 3];
            out[0] = static_cast<uint8_t>(pixel >> 16);
            out[1] = static_cast<uint8_t>(pixel >> 8);
            out[2] = static_cast<uint8_t>(pixel);
        }
        ok = std::fwrite(rgb.data(), 1, rgb.size(), f) == rgb.size();
    }
    return std::fclose(f) == 0 && ok;
}
