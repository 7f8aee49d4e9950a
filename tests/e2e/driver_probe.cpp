// Opens the demo's screen and prints the name of the display driver that took
// it ("none" when no driver could), so a test can tell which driver "ZQGFX"
// selected. With --key it then waits for a key read, up to 20 seconds, and
// prints the bytes of the key string in hex ("key: FF 48" for the up arrow).
#include <cstdio>
#include <cstring>

#include "demo/frame.h"
#include "gfx/gfx_internal.h"

namespace {
bool print_next_key(double seconds) {
    for (double end = zq_Timer() + seconds; zq_Timer() < end;) {
        ZqString* key = zq_Inkey();
        int32_t len = key ? key->len : 0;
        if (len > 0) {
            std::printf("key:");
            for (int32_t i = 0; i < len; ++i) std::printf(" %02X", key->data[i] & 0xFF);
            std::printf("\n");
        }
        if (key && key->temp) zq_StrDelTemp(key);
        if (len > 0) return true;
        zq_GfxWaitVSync();
    }
    std::printf("key: none\n");
    return false;
}
}  // namespace

int main(int argc, char** argv) {
    zq_Init(argc, argv, 0);
    OPEN_DEMO_SCREEN();
    const GfxState* screen = __zq_gfx;
    std::printf("driver: %s\n", screen && screen->driver ? screen->driver->name : "none");
    std::fflush(stdout);
    bool ok = argc < 2 || std::strcmp(argv[1], "--key") != 0 || print_next_key(20.0);
    std::fflush(stdout);
    zq_End(ok ? 0 : 1);
}
