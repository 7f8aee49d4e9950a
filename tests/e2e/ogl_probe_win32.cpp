// Opens an OpenGL screen (640 x 480, 32 bits) and draws with OpenGL through
// zq_GfxGetGLProcAddress.
//
//   ogl_probe clear RRGGBB   clears to that colour every frame until a key
//                            is read (at most 60 s); prints "ready" after the
//                            first frame
//   ogl_probe pace SECONDS   runs the demo's frame loop (a sector, a clear,
//                            flip, events, retrace wait) for SECONDS and
//                            prints frames per second and CPU use
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "demo/frame.h"
#include "gfx/gfx_internal.h"
#include "gfx/win32/gfx_winrules.h"

namespace {
using ClearColorFn = void(WINAPI*)(float, float, float, float);
using ClearFn = void(WINAPI*)(uint32_t);
constexpr uint32_t kColorBufferBit = 0x4000;

ClearColorFn gl_clear_color;
ClearFn gl_clear;

void frame(uint32_t rgb) {
    gl_clear_color(((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f,
                   (rgb & 0xFF) / 255.0f, 1.0f);
    gl_clear(kColorBufferBit);
    __zq_gfx->driver->flip();
    __zq_gfx->driver->poll_events();
}

bool key_read() {
    ZqString* key = zq_Inkey();
    bool got = key && key->len > 0;
    zq_StrDelTemp(key);
    return got;
}

int clear(uint32_t rgb) {
    frame(rgb);
    std::printf("ready\n");
    std::fflush(stdout);
    for (int i = 0; i < 6000 && !key_read(); ++i) {
        frame(rgb);
        Sleep(10);
    }
    return 0;
}

double cpu_seconds() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto secs = [](const FILETIME& t) {
        return ((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return secs(kernel) + secs(user);
}

int pace(double seconds) {
    int32_t rate = __zq_gfx->refresh_rate;
    double expected = rate > 1 && rate <= 1000 ? rate : 1000.0 / zq_hRefreshPeriodMs(rate);
    double start = zq_Timer(), cpu_start = cpu_seconds();
    long frames = 0;
    while (zq_Timer() - start < seconds) {
        SectorParams p = DRAW_FRAME();
        frame(0xFF000000u | (p.RED << 16) | (p.GREEN << 8) | p.BLUE);
        zq_GfxWaitVSync();
        ++frames;
    }
    double elapsed = zq_Timer() - start;
    double cpu = cpu_seconds() - cpu_start;
    std::printf(
        "pace: refresh_rate %d, expected %.1f fps, %ld frames in %.2f s = %.1f fps, "
        "CPU %.1f%%\n",
        rate, expected, frames, elapsed, frames / elapsed, 100.0 * cpu / elapsed);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    zq_Init(argc, argv, 0);
    const char* what = argc > 1 ? argv[1] : "clear";
    if (zq_GfxScreen(18, 32, 0, DriverFlags::OpenGL, 0) != 0 || !__zq_gfx) {
        std::printf("ogl_probe: no OpenGL screen\n");
        zq_End(1);
    }
    gl_clear_color = reinterpret_cast<ClearColorFn>(zq_GfxGetGLProcAddress("glClearColor"));
    gl_clear = reinterpret_cast<ClearFn>(zq_GfxGetGLProcAddress("glClear"));
    std::printf("driver: %s\nglClear: %s\n", __zq_gfx->driver->name, gl_clear ? "found" : "null");
    std::fflush(stdout);
    if (!gl_clear || !gl_clear_color) zq_End(1);
    int status = std::strcmp(what, "pace") == 0 ? pace(argc > 2 ? std::atof(argv[2]) : 5.0)
                                                : clear(static_cast<uint32_t>(std::strtoul(
                                                      argc > 2 ? argv[2] : "3060C0", nullptr, 16)));
    zq_End(status);
}
