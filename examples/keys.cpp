// A key and event loop: the arrow keys held down (zq_GfxMultikey) move a
// box, typed keys are listed with their codes, and every window event is
// counted by type. Escape or the close button ends it.
// Usage: keys [frames]
#include <cstdio>
#include <cstdlib>

#include "zq/zq_gfx.h"

namespace {
// Scan codes of the arrow keys.
constexpr int32_t kUp = 0x48, kDown = 0x50, kLeft = 0x4B, kRight = 0x4D;

void show(int row, const char* text) {
    zq_GfxLocate(row, 1, 0);
    zq_PrintFixString(0, text, 0);
}
}  // namespace

int main(int argc, char** argv) {
    zq_Init(argc, argv, 0);
    const int frames = argc > 1 ? std::atoi(argv[1]) : -1;
    if (zq_GfxScreen(12, 0, 1, 0, 0) != 0) {  // 640 x 480, 16 colours
        std::fprintf(stderr, "keys: no screen (error %d)\n", zq_ErrorGetNum());
        zq_End(1);
    }
    show(1, "Hold the arrow keys; type; Escape ends.");
    int x = 300, y = 200, typed = 0, counts[14] = {};
    bool quit = false;
    for (int frame = 0; frame != frames && !quit; ++frame) {
        // Keys as the program reads them: characters, or 0xFF and a scan code.
        while (zq_GfxKeyHit()) {
            const int32_t code = zq_GfxGetkey();
            if (code == 27 || code == ZQ_KEY_CLOSE) quit = true;
            char line[48];
            if (code <= 255) {
                std::snprintf(line, sizeof line, "key %3d '%c'        ", code,
                              code >= 32 ? code : ' ');
            } else {
                std::snprintf(line, sizeof line, "extended key 0x%04X", code);
            }
            show(3 + typed++ % 8, line);
        }
        GfxEvent e;
        while (zq_GfxGetEvent(&e)) ++counts[static_cast<int>(e.type) % 14];
        char line[64];
        std::snprintf(line, sizeof line, "down %d up %d repeat %d motion %d close %d frame %d",
                      counts[1], counts[2], counts[3], counts[4], counts[13], frame);
        show(12, line);

        // The box follows the held arrows, two pixels per frame; a slow drift
        // shows the loop running when no key is held.
        const int dx = (zq_GfxMultikey(kRight) ? 2 : 0) - (zq_GfxMultikey(kLeft) ? 2 : 0);
        const int dy = (zq_GfxMultikey(kDown) ? 2 : 0) - (zq_GfxMultikey(kUp) ? 2 : 0);
        zq_GfxLine(nullptr, x, y, x + 20, y + 20, 0, 2, 0xFFFF, 0);  // erase
        x = (x + dx + (frame % 4 == 0) + 600) % 600;
        y = (y + dy + 260) % 260 + 200;
        y = y >= 460 ? 200 : y;
        zq_GfxLine(nullptr, x, y, x + 20, y + 20, 1 + frame / 8 % 15, 2, 0xFFFF, 0);
        zq_GfxWaitVSync();
    }
    zq_End(0);
}
