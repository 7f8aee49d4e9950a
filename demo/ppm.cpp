#include "demo/ppm.h"

#include <cstdio>
#include <string>

bool zq_demo_write_ppm(const char* path, const GfxState& screen) {
    if (screen.bpp != 4) return false;
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", screen.width, screen.height);
    std::string row(static_cast<size_t>(screen.width) * 3, '\0');
    for (int32_t y = 0; y < screen.height; ++y) {
        const auto* px = reinterpret_cast<const uint32_t*>(
            screen.framebuffer + static_cast<ptrdiff_t>(y) * screen.pitch);
        for (int32_t x = 0; x < screen.width; ++x) {
            row[x * 3 + 0] = static_cast<char>(px[x] >> 16);
            row[x * 3 + 1] = static_cast<char>(px[x] >> 8);
            row[x * 3 + 2] = static_cast<char>(px[x]);
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    const bool written = !std::ferror(f);  // a full disk shows here, not in fclose
    return std::fclose(f) == 0 && written;
}
