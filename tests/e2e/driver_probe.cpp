// Opens the demo's screen and prints the name of the display driver that took
// it ("none" when no driver could), so a test can tell which driver "ZQGFX"
// selected.
#include <cstdio>

#include "demo/frame.h"
#include "gfx/gfx_internal.h"

int main(int argc, char** argv) {
    zq_Init(argc, argv, 0);
    OPEN_DEMO_SCREEN();
    const GfxState* screen = __zq_gfx;
    std::printf("driver: %s\n", screen && screen->driver ? screen->driver->name : "none");
    std::fflush(stdout);
    zq_End(0);
}
