// The Null driver: no display at all. Drawing works on the framebuffer only;
// lock and unlock exist so that the screen-lock idiom needs no special case.
#include "gfx/gfx_internal.h"

namespace {
void driver_dummy() {}
}  // namespace

const GfxDriver __zq_gfxDriverNull = {
    "Null",        // name
    nullptr,       // init
    nullptr,       // exit
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
