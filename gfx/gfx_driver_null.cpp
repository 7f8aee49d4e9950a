// The Null driver: no display at all. Drawing works on the framebuffer only;
// lock and unlock exist so that the screen-lock idiom needs no special case.
#include <cstdio>
#include <cstdlib>

#include "gfx/gfx_internal.h"

namespace {
void driver_dummy() {}

// With ZQGFX_FINGERPRINT set, closing the screen prints a hash of what it
// showed (pixels, and the colours of palette screens) to stderr, so a test
// can check a program's final picture without a display.
void driver_exit() {
    const GfxState* s = __zq_gfx;
    const char* wanted = std::getenv("ZQGFX_FINGERPRINT");
    if (!s || !wanted || !*wanted) return;
    uint32_t hash = 2166136261u;  // FNV-1a
    auto add = [&hash](const uint8_t* p, size_t n) {
        for (size_t i = 0; i < n; ++i) hash = (hash ^ p[i]) * 16777619u;
    };
    add(s->framebuffer, static_cast<size_t>(s->height) * s->pitch);
    if (s->depth <= 8) add(reinterpret_cast<const uint8_t*>(s->device_palette), 1024);
    std::fprintf(stderr, "zqgfx fingerprint %dx%dx%d %08x\n", s->width, s->height, s->depth,
                 static_cast<unsigned>(hash));
}
}  // namespace

const GfxDriver __zq_gfxDriverNull = {
    "Null",        // name
    nullptr,       // init
    driver_exit,   // exit
    driver_dummy,  // lock
    driver_dummy,  // unlock
    nullptr,       // set_palette
    nullptr,       // wait_vsync
    nullptr,       // get_mouse
    nullptr,       // set_mouse
    nullptr,       // set_window_title
    nullptr,       // set_window_pos
    nullptr,       // fetch_modes
    nullptr,       // flip
    nullptr,       // poll_events
};
