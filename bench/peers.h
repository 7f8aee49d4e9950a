// Side-by-side speed of this system and its peers: each row is one workload
// (lines, spans, conversions, ...) whose contenders make passes over the same
// inputs in one process and one run. The table gives each contender's median
// time and this system's speed as a ratio of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct SDL_Surface;
struct SDL_Renderer;

struct Contender {
    std::string name;
    std::function<void()> pass;  // one pass over the whole input set
};

struct PeerRow {
    std::string workload;
    double pixels = 0;                  // pixels written (or converted) per pass
    std::vector<Contender> contenders;  // the first one is this system's
    // Runs before any timing: an empty string when every fast path gives the
    // pixels of the exact path on the whole input set, else what differs.
    std::function<std::string()> check;
};

// Adds the rows a file makes; the maker runs in main, before any timing.
// Call it from a static initialiser:
//   static const bool added = zq_bench_add_rows(make_my_rows);
bool zq_bench_add_rows(std::vector<PeerRow> (*make)());

// The rows' one screen: 640 x 480 x 32 on the Null driver, opened by the first
// maker that asks (opening another would free the framebuffer the rows of an
// earlier maker draw into). False when no screen can be opened.
bool zq_bench_screen();

// The screen as the peers see it: its framebuffer and an SDL software renderer
// writing straight into it, with blending off.
struct PeerScreen {
    uint32_t* pixels = nullptr;
    int stride = 0;  // in pixels
    SDL_Surface* surface = nullptr;
    SDL_Renderer* renderer = nullptr;
};

// Opens the screen (as zq_bench_screen) and fills in *screen; false when the
// screen or the renderer cannot be made.
bool zq_bench_peer_screen(PeerScreen* screen);

// Two points each (a line's ends, a box's corners) spread over the screen,
// the same on every run for a given seed.
struct PeerCorners {
    int x1, y1, x2, y2;
};
std::vector<PeerCorners> zq_bench_random_corners(unsigned seed, size_t count);
