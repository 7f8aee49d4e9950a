// Opens the demo's screen, in full screen with --fullscreen, and prints which
// driver took it, whether it is full screen and the refresh rate the driver
// found: "driver: NAME fullscreen: 0|1 refresh: HZ". With --frames it then
// runs the demo's frame loop until a key is read.
#include <cstdio>
#include <cstring>

#include "demo/frame.h"
#include "gfx/win32/gfx_win32.h"

namespace {
bool has_option(int argc, char** argv, const char* option) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], option) == 0) return true;
    }
    return false;
}
}  // namespace

int main(int argc, char** argv) {
    zq_Init(argc, argv, 0);
    bool fullscreen = has_option(argc, argv, "--fullscreen");
    zq_GfxScreen(18, 32, 0, fullscreen ? DriverFlags::Fullscreen : 0, 0);
    const GfxState* screen = __zq_gfx;
    if (!screen || !screen->driver) {
        std::printf("driver: none\n");
        return 1;
    }
    zq_Cls(static_cast<int32_t>(0xFFFF0000u));
    bool win32 = screen->driver != &__zq_gfxDriverNull;
    std::printf("driver: %s fullscreen: %d refresh: %d\n", screen->driver->name,
                win32 && (zq_win32.mode_flags & DriverFlags::Fullscreen) ? 1 : 0,
                screen->refresh_rate);
    std::fflush(stdout);
    if (has_option(argc, argv, "--frames")) {
        do {
            DRAW_FRAME();
            zq_GfxWaitVSync();
        } while (zq_StrCompare(zq_Inkey(), -1, "", 0) == 0);
    }
    zq_End(0);
}
