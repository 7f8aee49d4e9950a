// Opens a 640 x 480 screen on the driver "ZQGFX" names (an OpenGL screen when
// it names OpenGL) and prints the mouse and key state whenever it changes:
//   "mouse X Y WHEEL BUTTONS"   the results of zq_GfxGetMouse
//   "key SCAN STATE"            zq_GfxMultikey(SCAN), -1 or 0
// The key "s" places the pointer with zq_GfxSetMouse(100, 50, -1) and prints
// "set RESULT"; "q" or the close button ends it (after at most 60 s anyway).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gfx/gfx_internal.h"

namespace {
struct MouseState {
    int32_t x, y, wheel, buttons;
    bool operator==(const MouseState&) const = default;
};

void say(const char* format, int32_t a, int32_t b = 0, int32_t c = 0, int32_t d = 0) {
    std::printf(format, a, b, c, d);
    std::fflush(stdout);
}

bool wants_opengl() {
    const char* name = std::getenv("ZQGFX");
    return name && _stricmp(name, "OpenGL") == 0;
}

// The key read, or 0 for none.
int32_t read_key() {
    ZqString* key = zq_Inkey();
    int32_t code = 0;
    if (key && key->len == 1) code = static_cast<uint8_t>(key->data[0]);
    if (key && key->len == 2) code = (static_cast<uint8_t>(key->data[1]) << 8) | 0xFF;
    zq_StrDelTemp(key);
    return code;
}
}  // namespace

int main(int argc, char** argv) {
    zq_Init(argc, argv, 0);
    int32_t flags = wants_opengl() ? DriverFlags::OpenGL : 0;
    if (zq_GfxScreen(18, 32, 0, flags, 0) != 0 || !__zq_gfx) {
        std::printf("mouse_probe: no screen\n");
        zq_End(1);
    }
    const GfxDriver* driver = __zq_gfx->driver;
    std::printf("driver: %s\n", driver->name);
    MouseState last = {-2, -2, -2, -2};
    int32_t keys[128] = {};
    for (int i = 0; i < 12000; ++i) {
        if (driver->flip) driver->flip();
        if (driver->poll_events) driver->poll_events();
        MouseState now{};
        zq_GfxGetMouse(&now.x, &now.y, &now.wheel, &now.buttons);
        if (!(now == last)) say("mouse %d %d %d %d\n", now.x, now.y, now.wheel, now.buttons);
        last = now;
        for (int32_t scan = 0; scan < 128; ++scan) {
            int32_t down = zq_GfxMultikey(scan);
            if (down != keys[scan]) say("key %d %d\n", scan, down);
            keys[scan] = down;
        }
        int32_t key = read_key();
        if (key == 's') say("set %d\n", zq_GfxSetMouse(100, 50, -1));
        if (key == 'q' || key == 0x6BFF) break;
        Sleep(5);
    }
    zq_End(0);
}
