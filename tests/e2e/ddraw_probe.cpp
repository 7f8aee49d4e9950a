// Opens the demo's screen, in full screen with --fullscreen, and prints which
// driver took it, whether it is full screen and the refresh rate the driver
// found: "driver: NAME fullscreen: 0|1 refresh: HZ". With --frames it then
// runs the demo's frame loop until a key is read. With --modes it first prints
// the DirectX driver's 32-bit display modes without a screen and again with
// the screen open: "modes closed|open: WxH ...". With --hold-up it waits
// (20 s at most) for the Up arrow to be held, then released, as the key state
// shows it: "up: held", "up: released".
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "demo/frame.h"
#include "gfx/win32/gfx_win32.h"

extern GfxDriver zq_gfxDriverDirectDraw;

namespace {
bool has_option(int argc, char** argv, const char* option) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], option) == 0) return true;
    }
    return false;
}
// Polls the key state of scan code 0x48 until it is `down`; false on timeout.
bool wait_up(bool down) {
    for (int i = 0; i < 2000; ++i) {
        if ((zq_GfxMultikey(0x48) != 0) == down) return true;
        zq_Sleep(10);
    }
    return false;
}

void print_modes(const char* when) {
    int32_t count = -1;
    int32_t* modes = zq_gfxDriverDirectDraw.fetch_modes(32, &count);
    std::printf("modes %s:", when);
    for (int32_t i = 0; modes && i < count; ++i) {
        std::printf(" %dx%d", modes[i] >> 16, modes[i] & 0xFFFF);
    }
    std::printf("\n");
    std::free(modes);
}
}  // namespace

int main(int argc, char** argv) {
    zq_Init(argc, argv, 0);
    bool fullscreen = has_option(argc, argv, "--fullscreen");
    bool modes = has_option(argc, argv, "--modes");
    if (modes) print_modes("closed");
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
    if (modes) print_modes("open");
    std::fflush(stdout);
    if (has_option(argc, argv, "--hold-up")) {
        bool held = wait_up(true);
        std::printf("up: %s\n", held ? "held" : "never held");
        std::fflush(stdout);
        if (held) std::printf("up: %s\n", wait_up(false) ? "released" : "never released");
    }
    if (has_option(argc, argv, "--frames")) {
        do {
            DRAW_FRAME();
            zq_GfxWaitVSync();
        } while (zq_StrCompare(zq_Inkey(), -1, "", 0) == 0);
    }
    zq_End(0);
}
