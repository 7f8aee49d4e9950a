// zqframes N OUT.ppm [--every K]: runs the demo's frame loop for N frames on
// the Null driver (no retrace wait, no key read) and writes the framebuffer as
// a binary PPM. With --every K it also writes OUT-000K.ppm, OUT-002K.ppm, ...
// after every K-th frame.
//
// zqframes --match SHOT.ppm [--max N]: steps the frames in one process and
// prints the first frame count (1 to N, default 20000) whose framebuffer
// equals the 640 x 480 screenshot in red, green and blue. Without a match it
// prints the closest frame and its count of differing pixels and exits with 1.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "demo/frame.h"
#include "demo/ppm.h"
#include "gfx/gfx_internal.h"

namespace {
constexpr uint32_t kRgbMask = 0x00FFFFFF;

bool parse_count(const char* text, long min, long* out) {
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < min) return false;
    *out = v;
    return true;
}

// One header number of a binary PPM, after blanks and comments.
bool read_ppm_number(FILE* f, long* out) {
    int c = std::fgetc(f);
    while (c == '#' || c == ' ' || c == '\t' || c == '\n' || c == '\r') {
        if (c == '#') {
            while (c != '\n' && c != EOF) c = std::fgetc(f);
        }
        c = std::fgetc(f);
    }
    long v = 0;
    int digits = 0;
    for (; c >= '0' && c <= '9' && digits < 9; c = std::fgetc(f), ++digits) v = v * 10 + (c - '0');
    *out = v;
    return digits > 0 && digits < 9 && (c == ' ' || c == '\t' || c == '\n' || c == '\r');
}

// Reads a binary 8-bit PPM of the given size as 0x00RRGGBB pixels.
bool read_ppm(const char* path, long width, long height, std::vector<uint32_t>* pixels) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    long w = 0, h = 0, maxval = 0;
    bool ok = std::fgetc(f) == 'P' && std::fgetc(f) == '6' && read_ppm_number(f, &w) &&
              read_ppm_number(f, &h) && read_ppm_number(f, &maxval) && w == width && h == height &&
              maxval == 255;
    std::vector<uint8_t> rgb(ok ? static_cast<size_t>(w * h * 3) : 0);
    ok = ok && std::fread(rgb.data(), 1, rgb.size(), f) == rgb.size();
    std::fclose(f);
    if (!ok) return false;
    pixels->resize(static_cast<size_t>(w * h));
    for (size_t i = 0; i < pixels->size(); ++i) {
        (*pixels)[i] = uint32_t{rgb[i * 3]} << 16 | uint32_t{rgb[i * 3 + 1]} << 8 | rgb[i * 3 + 2];
    }
    return true;
}

long count_differences(const GfxState& screen, const std::vector<uint32_t>& shot) {
    long differences = 0;
    for (int32_t y = 0; y < screen.height; ++y) {
        const auto* px = reinterpret_cast<const uint32_t*>(screen.framebuffer + y * screen.pitch);
        const uint32_t* want = shot.data() + static_cast<size_t>(y) * screen.width;
        for (int32_t x = 0; x < screen.width; ++x) differences += (px[x] & kRgbMask) != want[x];
    }
    return differences;
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
    std::fprintf(stderr,
                 "usage: zqframes N OUT.ppm [--every K]\n"
                 "       zqframes --match SHOT.ppm [--max N]\n");
    return 2;
}

bool open_screen() {
    __zq_gfx_driver_name = "null";
    OPEN_DEMO_SCREEN();
    if (__zq_gfx && __zq_gfx->depth == 32) return true;
    std::fprintf(stderr, "zqframes: the screen did not open\n");
    return false;
}

int write_frames(long frames, const std::string& out, long every) {
    for (long i = 1; i <= frames; ++i) {
        DRAW_FRAME();
        if (every > 0 && i % every == 0 &&
            !zq_demo_write_ppm(numbered(out, i).c_str(), *__zq_gfx)) {
            std::fprintf(stderr, "zqframes: cannot write %s\n", numbered(out, i).c_str());
            return 1;
        }
    }
    if (!zq_demo_write_ppm(out.c_str(), *__zq_gfx)) {
        std::fprintf(stderr, "zqframes: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}

int match_frames(const char* shot_path, long max_frames) {
    std::vector<uint32_t> shot;
    if (!read_ppm(shot_path, __zq_gfx->width, __zq_gfx->height, &shot)) {
        std::fprintf(stderr, "zqframes: %s is not a %dx%d binary PPM\n", shot_path, __zq_gfx->width,
                     __zq_gfx->height);
        return 2;
    }
    long closest = 0, fewest = -1;
    for (long i = 1; i <= max_frames; ++i) {
        DRAW_FRAME();
        long differences = count_differences(*__zq_gfx, shot);
        if (differences == 0) {
            std::printf("%ld\n", i);
            return 0;
        }
        if (fewest < 0 || differences < fewest) {
            fewest = differences;
            closest = i;
        }
    }
    std::printf("no match in %ld frames; closest: frame %ld, %ld pixels differ\n", max_frames,
                closest, fewest);
    return 1;
}
}  // namespace

int main(int argc, char** argv) {
    long frames = 0, every = 0, max_frames = 20000;
    bool match = argc >= 3 && std::strcmp(argv[1], "--match") == 0;
    if (match) {
        if (argc != 3 && argc != 5) return usage();
        if (argc == 5 &&
            (std::strcmp(argv[3], "--max") != 0 || !parse_count(argv[4], 1, &max_frames)))
            return usage();
    } else {
        if (argc != 3 && argc != 5) return usage();
        if (!parse_count(argv[1], 0, &frames)) return usage();
        if (argc == 5 && (std::strcmp(argv[3], "--every") != 0 || !parse_count(argv[4], 1, &every)))
            return usage();
    }
    zq_Init(argc, argv, 0);
    if (!open_screen()) return 1;
    return match ? match_frames(argv[2], max_frames) : write_frames(frames, argv[2], every);
}
