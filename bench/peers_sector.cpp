// The demo's own workload beside the 2D rasterisers: random filled sectors
// (DRAW_SEGMENT against cairo without antialiasing and SDL2_gfx's filled pie),
// random filled boxes (zq_GfxLine against pixman_fill and SDL_FillRect) and
// whole-screen clears (against memset), all in the one 640 x 480 x 32
// framebuffer of the screen.
#include <SDL.h>
#include <SDL2_gfxPrimitives.h>
#include <cairo.h>
#include <pixman.h>

#include <cmath>
#include <cstring>
#include <random>

#include "bench/peers.h"
#include "demo/sector.h"
#include "gfx/gfx_internal.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kSectors = 20000;
constexpr int kBoxes = 100000;
constexpr int kStep = 5;
constexpr int kClears = 100;
constexpr int kCheckBatch = 8;  // sectors drawn between two comparisons
constexpr uint32_t kBoxColor = 0xFF3C78B4u;

// One sector of the demo's distribution that draws something.
struct Sector {
    int x, y, radius, start, end;
    uint8_t red, green, blue;
    int last() const { return start + (end - start) / kStep * kStep; }  // the last angle drawn
};

using Box = PeerCorners;  // corners in any order

std::vector<Sector> random_sectors() {
    std::mt19937 rng(20240616);
    std::uniform_int_distribution<int> col(0, kWidth), row(0, kHeight), radius(0, 300),
        angle(0, 360), channel(0, 255);
    std::vector<Sector> set;
    while (set.size() < kSectors) {
        Sector s{col(rng), row(rng), radius(rng), angle(rng), angle(rng), 0, 0, 0};
        s.red = uint8_t(channel(rng)), s.green = uint8_t(channel(rng)),
        s.blue = uint8_t(channel(rng));
        if (s.end >= s.start + kStep) set.push_back(s);
    }
    return set;
}

// Pixels of the sector inside the screen, counted on a grid of every second
// pixel each way: the table's pixel rates, not a check.
double sector_pixels(const std::vector<Sector>& set) {
    double sum = 0;
    for (const Sector& s : set) {
        const double a0 = s.start * M_PI / 180, a1 = s.last() * M_PI / 180;
        int inside = 0;
        for (int y = std::max(0, s.y - s.radius); y <= std::min(kHeight - 1, s.y + s.radius);
             y += 2) {
            for (int x = std::max(0, s.x - s.radius); x <= std::min(kWidth - 1, s.x + s.radius);
                 x += 2) {
                const double dx = x - s.x, dy = y - s.y;
                if (dx * dx + dy * dy > double(s.radius) * s.radius) continue;
                double a = std::atan2(dy, dx);
                if (a < a0) a += 2 * M_PI;
                inside += a <= a1;
            }
        }
        sum += 4.0 * inside;
    }
    return sum;
}

double box_pixels(const std::vector<Box>& set) {
    double sum = 0;
    for (const Box& b : set) sum += double(std::abs(b.x2 - b.x1) + 1) * (std::abs(b.y2 - b.y1) + 1);
    return sum;
}

struct Peers : PeerScreen {
    cairo_surface_t* cairo_surface = nullptr;
    cairo_t* cairo = nullptr;
    std::vector<Sector> sectors;
    std::vector<Box> boxes;
};

Peers& peers() {
    static Peers p;
    return p;
}

bool open_peers() {
    Peers& p = peers();
    if (!zq_bench_peer_screen(&p)) return false;
    p.cairo_surface =
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(p.pixels),
                                            CAIRO_FORMAT_RGB24, kWidth, kHeight, __zq_gfx->pitch);
    p.cairo = cairo_create(p.cairo_surface);
    if (cairo_status(p.cairo) != CAIRO_STATUS_SUCCESS) return false;
    cairo_set_antialias(p.cairo, CAIRO_ANTIALIAS_NONE);
    cairo_set_operator(p.cairo, CAIRO_OPERATOR_SOURCE);
    p.sectors = random_sectors();
    p.boxes = zq_bench_random_corners(20240617, kBoxes);
    return true;
}

// ---- Contenders ----

template <void (*draw)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, uint8_t, uint8_t,
                       uint8_t)>
void zq_sectors(const Sector* first, size_t count) {
    for (const Sector* s = first; s != first + count; ++s) {
        draw(s->x, s->y, s->radius, s->start, s->end, kStep, s->red, s->green, s->blue);
    }
}

void cairo_sectors() {
    Peers& p = peers();
    for (const Sector& s : p.sectors) {
        cairo_set_source_rgb(p.cairo, s.red / 255.0, s.green / 255.0, s.blue / 255.0);
        cairo_move_to(p.cairo, s.x, s.y);
        cairo_arc(p.cairo, s.x, s.y, s.radius, s.start * M_PI / 180, s.last() * M_PI / 180);
        cairo_close_path(p.cairo);
        cairo_fill(p.cairo);
    }
    cairo_surface_flush(p.cairo_surface);
}

void sdl_gfx_sectors() {
    Peers& p = peers();
    for (const Sector& s : p.sectors) {
        filledPieRGBA(p.renderer, Sint16(s.x), Sint16(s.y), Sint16(s.radius), Sint16(s.start),
                      Sint16(s.last()), s.red, s.green, s.blue, 0xFF);
    }
    SDL_RenderFlush(p.renderer);
}

void zq_boxes() {
    for (const Box& b : peers().boxes) {
        zq_GfxLine(nullptr, float(b.x1), float(b.y1), float(b.x2), float(b.y2), kBoxColor, 2,
                   0xFFFF, 0);
    }
}

void pixman_boxes() {
    Peers& p = peers();
    for (const Box& b : p.boxes) {
        pixman_fill(p.pixels, p.stride, 32, std::min(b.x1, b.x2), std::min(b.y1, b.y2),
                    std::abs(b.x2 - b.x1) + 1, std::abs(b.y2 - b.y1) + 1, kBoxColor);
    }
}

void sdl_boxes() {
    Peers& p = peers();
    for (const Box& b : p.boxes) {
        SDL_Rect r{std::min(b.x1, b.x2), std::min(b.y1, b.y2), std::abs(b.x2 - b.x1) + 1,
                   std::abs(b.y2 - b.y1) + 1};
        SDL_FillRect(p.surface, &r, kBoxColor);
    }
}

void zq_clears() {
    for (int i = 0; i < kClears; ++i) zq_GfxClear(0);
}

void memset_clears() {
    Peers& p = peers();
    for (int i = 0; i < kClears; ++i) std::memset(p.pixels, 0, size_t(p.stride) * 4 * kHeight);
}

// ---- Check ----

// Both sector paths from the same picture, a few sectors at a time: the
// pixels, the dirty rows and the last point must be the reference's.
std::string check_sectors() {
    Peers& p = peers();
    GfxContext* ctx = zq_hGetContext();
    const size_t bytes = size_t(p.stride) * 4 * kHeight;
    uint8_t* fb = __zq_gfx->framebuffer;
    std::vector<uint8_t> before(bytes), plain(bytes), plain_rows(kHeight);
    std::memset(fb, 0, bytes);
    for (size_t i = 0; i < p.sectors.size(); i += kCheckBatch) {
        const size_t n = std::min<size_t>(kCheckBatch, p.sectors.size() - i);
        std::memcpy(before.data(), fb, bytes);
        std::memset(__zq_gfx->dirty, 0, kHeight);
        zq_sectors<DRAW_SEGMENT_PLAIN>(&p.sectors[i], n);
        std::memcpy(plain.data(), fb, bytes);
        std::memcpy(plain_rows.data(), __zq_gfx->dirty, kHeight);
        const float last_x = ctx->last_x, last_y = ctx->last_y;
        std::memcpy(fb, before.data(), bytes);
        std::memset(__zq_gfx->dirty, 0, kHeight);
        zq_sectors<DRAW_SEGMENT>(&p.sectors[i], n);
        if (std::memcmp(fb, plain.data(), bytes) != 0 ||
            std::memcmp(__zq_gfx->dirty, plain_rows.data(), kHeight) != 0 ||
            ctx->last_x != last_x || ctx->last_y != last_y) {
            return "the batched sectors differ from the reference at sector " + std::to_string(i);
        }
    }
    return "";
}

std::vector<PeerRow> make_rows() {
    if (!open_peers()) {
        std::fprintf(stderr, "no screen, SDL software renderer or cairo context: %s\n",
                     SDL_GetError());
        std::exit(1);
    }
    Peers& p = peers();
    PeerRow sectors{
        "sectors",
        sector_pixels(p.sectors),
        {
            {"DRAW_SEGMENT", [] { zq_sectors<DRAW_SEGMENT>(peers().sectors.data(), kSectors); }},
            {"DRAW_SEGMENT, a call per line (reference)",
             [] { zq_sectors<DRAW_SEGMENT_PLAIN>(peers().sectors.data(), kSectors); }},
            {"cairo arc fill, no antialias", cairo_sectors},
            {"SDL2_gfx filledPieRGBA (software)", sdl_gfx_sectors},
        },
        check_sectors};
    PeerRow boxes{"boxes",
                  box_pixels(p.boxes),
                  {
                      {"zq_GfxLine box fill", zq_boxes},
                      {"pixman_fill", pixman_boxes},
                      {"SDL2 SDL_FillRect", sdl_boxes},
                  },
                  nullptr};
    PeerRow clears{"clears",
                   double(kWidth) * kHeight * kClears,
                   {
                       {"zq_GfxClear whole screen", zq_clears},
                       {"memset", memset_clears},
                   },
                   nullptr};
    return {sectors, boxes, clears};
}

const bool added = zq_bench_add_rows(make_rows);

}  // namespace
