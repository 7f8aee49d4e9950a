// Lines and horizontal spans in a 640 x 480 x 32 framebuffer: zq_GfxLine on
// the Null driver against SDL2's software renderer, pixman_fill, a plain
// integer Bresenham loop and memset, on the same random inputs. Every
// contender writes into the one framebuffer of the screen.
#include <SDL.h>
#include <pixman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>

#include "bench/peers.h"
#include "gfx/gfx_internal.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kCount = 100000;
constexpr uint32_t kColor = 0xFF3C78B4u;
constexpr int kCheckBatch = 64;  // lines drawn between two comparisons

using Segment = PeerCorners;

int pixel_count(const Segment& s) {
    return std::max(std::abs(s.x2 - s.x1), std::abs(s.y2 - s.y1)) + 1;
}

double total_pixels(const std::vector<Segment>& set) {
    double sum = 0;
    for (const Segment& s : set) sum += pixel_count(s);
    return sum;
}

// Lengths 1..640, placed wholly inside the screen.
std::vector<Segment> random_spans() {
    std::mt19937 rng(20240612);
    std::uniform_int_distribution<int> length(1, kWidth), row(0, kHeight - 1);
    std::vector<Segment> set(kCount);
    for (Segment& s : set) {
        const int n = length(rng);
        const int x = std::uniform_int_distribution<int>(0, kWidth - n)(rng);
        const int y = row(rng);
        s = Segment{x, y, x + n - 1, y};
    }
    return set;
}

struct Peers : PeerScreen {
    std::vector<Segment> lines, spans;
};

Peers& peers() {
    static Peers p;
    return p;
}

bool open_peers() {
    Peers& p = peers();
    if (!zq_bench_peer_screen(&p)) return false;
    SDL_SetRenderDrawColor(p.renderer, (kColor >> 16) & 0xFF, (kColor >> 8) & 0xFF, kColor & 0xFF,
                           0xFF);
    p.lines = zq_bench_random_corners(20240611, kCount);
    p.spans = random_spans();
    return true;
}

// ---- Contenders ----

void zq_pass(const std::vector<Segment>& set) {
    for (const Segment& s : set) {
        zq_GfxLine(nullptr, float(s.x1), float(s.y1), float(s.x2), float(s.y2), kColor, 0, 0xFFFF,
                   0);
    }
}

void sdl_lines() {
    Peers& p = peers();
    for (const Segment& s : p.lines) SDL_RenderDrawLine(p.renderer, s.x1, s.y1, s.x2, s.y2);
    SDL_RenderFlush(p.renderer);
}

void sdl_spans() {
    Peers& p = peers();
    for (const Segment& s : p.spans) {
        SDL_Rect r{s.x1, s.y1, s.x2 - s.x1 + 1, 1};
        SDL_FillRect(p.surface, &r, kColor);
    }
}

void pixman_spans() {
    Peers& p = peers();
    for (const Segment& s : p.spans) {
        pixman_fill(p.pixels, p.stride, 32, s.x1, s.y1, s.x2 - s.x1 + 1, 1, kColor);
    }
}

// The textbook all-octant loop.
void bresenham(uint32_t* pixels, int stride, Segment s) {
    const int dx = std::abs(s.x2 - s.x1), sx = s.x1 < s.x2 ? 1 : -1;
    const int dy = -std::abs(s.y2 - s.y1), sy = s.y1 < s.y2 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        pixels[s.y1 * stride + s.x1] = kColor;
        if (s.x1 == s.x2 && s.y1 == s.y2) break;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, s.x1 += sx;
        if (e2 <= dx) err += dx, s.y1 += sy;
    }
}

void bresenham_pass(const std::vector<Segment>& set) {
    Peers& p = peers();
    for (const Segment& s : set) bresenham(p.pixels, p.stride, s);
}

// The same number of bytes per line as one run at the line's first row.
void memset_pass(const std::vector<Segment>& set) {
    Peers& p = peers();
    for (const Segment& s : set) {
        std::memset(p.pixels + s.y1 * p.stride + (s.x1 < s.x2 ? s.x1 : s.x2), 0x5A,
                    size_t(pixel_count(s)) * 4);
    }
}

// ---- Check ----

// Draws the set with zq_GfxLine on the screen and with the plain path into an
// image buffer of the same shape, each line in a colour of its own, comparing
// the two every few lines (a later line rarely hides an earlier one's pixel).
std::string check_paths(const std::vector<Segment>& set, uint32_t style) {
    Peers& p = peers();
    const size_t frame = size_t(p.stride) * kHeight;
    std::vector<uint32_t> plain(8 + frame);
    const int32_t header[5] = {7, 4, kWidth, kHeight, p.stride * 4};
    std::memcpy(plain.data(), header, sizeof header);
    std::fill_n(p.pixels, frame, 0u);
    for (size_t i = 0; i < set.size(); ++i) {
        const Segment& s = set[i];
        const uint32_t color = 0xFF000000u | uint32_t(i + 1);
        zq_GfxLine(nullptr, float(s.x1), float(s.y1), float(s.x2), float(s.y2), color, 0, style, 0);
        zq_hGfxLinePlain(plain.data(), float(s.x1), float(s.y1), float(s.x2), float(s.y2), color, 0,
                         style, 0);
        if ((i + 1) % kCheckBatch && i + 1 != set.size()) continue;
        if (std::memcmp(p.pixels, plain.data() + 8, frame * 4) != 0) {
            return "the pixels differ after line " + std::to_string(i) + " (style " +
                   std::to_string(style) + ")";
        }
    }
    zq_GfxLine(nullptr, 0, 0, 0, 0, kColor, 0, 0xFFFF, 0);  // back to the screen
    return "";
}

std::vector<PeerRow> make_rows() {
    if (!open_peers()) {
        std::fprintf(stderr, "no screen or no SDL software renderer: %s\n", SDL_GetError());
        std::exit(1);
    }
    Peers& p = peers();
    PeerRow lines{"lines",
                  total_pixels(p.lines),
                  {
                      {"zq_GfxLine", [] { zq_pass(peers().lines); }},
                      {"SDL2 SDL_RenderDrawLine (software)", sdl_lines},
                      {"plain Bresenham loop", [] { bresenham_pass(peers().lines); }},
                      {"memset (as many bytes)", [] { memset_pass(peers().lines); }},
                  },
                  [] {
                      std::string why = check_paths(peers().lines, 0xFFFF);
                      return why.empty() ? check_paths(peers().lines, 0xE4C8) : why;
                  }};
    PeerRow spans{"spans",
                  total_pixels(p.spans),
                  {
                      {"zq_GfxLine", [] { zq_pass(peers().spans); }},
                      {"pixman_fill", pixman_spans},
                      {"SDL2 SDL_FillRect", sdl_spans},
                      {"memset (as many bytes)", [] { memset_pass(peers().spans); }},
                  },
                  [] { return check_paths(peers().spans, 0xFFFF); }};
    return {lines, spans};
}

const bool added = zq_bench_add_rows(make_rows);

}  // namespace
