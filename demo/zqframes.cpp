// zqframes N OUT.ppm [--every K]: runs the demo's frame loop for N frames on
// the Null driver (no retrace wait, no key read) and writes the framebuffer as
// a binary PPM. With --every K it also writes OUT-000K.ppm, OUT-002K.ppm, ...
// after every K-th frame.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "demo/frame.h"
#include "gfx/gfx_internal.h"

namespace {
bool parse_count(const char* text, long min, long* out) {
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < min) return false;
    *out = v;
    return true;
}

bool write_ppm(const std::string& path, const GfxState& screen) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", screen.width, screen.height);
    std::string row(static_cast<size_t>(screen.width) * 3, '\0');
    for (int32_t y = 0; y < screen.height; ++y) {
        const auto* px = reinterpret_cast<const uint32_t*>(screen.framebuffer + y * screen.pitch);
        for (int32_t x = 0; x < screen.width; ++x) {
            row[x * 3 + 0] = static_cast<char>(px[x] >> 16);
            row[x * 3 + 1] = static_cast<char>(px[x] >> 8);
            row[x * 3 + 2] = static_cast<char>(px[x]);
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
}

std::string numbered(const std::string& out, long frame) {
    std::string stem = out;
    if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, ".ppm") == 0)
        stem.resize(stem.size() - 4);
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "-%04ld.ppm", frame);
    return stem + suffix;
}

int usage() {
    std::fprintf(stderr, "usage: zqframes N OUT.ppm [--every K]\n");
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
    long frames = 0, every = 0;
    if (argc != 3 && argc != 5) return usage();
    if (!parse_count(argv[1], 0, &frames)) return usage();
    if (argc == 5 && (std::strcmp(argv[3], "--every") != 0 || !parse_count(argv[4], 1, &every)))
        return usage();
    const std::string out = argv[2];

    zq_Init(argc, argv, 0);
    __zq_gfx_driver_name = "null";
    OPEN_DEMO_SCREEN();
    if (!__zq_gfx || __zq_gfx->depth != 32) {
        std::fprintf(stderr, "zqframes: the screen did not open\n");
        return 1;
    }
    for (long i = 1; i <= frames; ++i) {
        DRAW_FRAME();
        if (every > 0 && i % every == 0 && !write_ppm(numbered(out, i), *__zq_gfx)) {
            std::fprintf(stderr, "zqframes: cannot write %s\n", numbered(out, i).c_str());
            return 1;
        }
    }
    if (!write_ppm(out, *__zq_gfx)) {
        std::fprintf(stderr, "zqframes: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
