// Text with colours and positions: a title, a colour chart and a counter
// that moves down the screen, on a 640 x 480 screen with 32-bit colours.
// Usage: text [frames]   (Escape or the close button ends it sooner)
#include <cstdio>
#include <cstdlib>

#include "zq/zq_gfx.h"

static bool quit_key() {
    ZqString* key = zq_Inkey();  // "" when no key is waiting
    const bool quit =
        key->len > 0 && (key->data[0] == 27 || (key->len == 2 && key->data[1] == 0x6B));
    zq_StrDelTemp(key);
    return quit;
}

int main(int argc, char** argv) {
    zq_Init(argc, argv, 0);
    const int frames = argc > 1 ? std::atoi(argv[1]) : -1;
    zq_GfxSetWindowTitle(zq_CHR(4, 't', 'e', 'x', 't'));
    if (zq_GfxScreen(18, 32, 1, 0, 0) != 0) {
        std::fprintf(stderr, "text: no screen (error %d)\n", zq_ErrorGetNum());
        zq_End(1);
    }
    zq_GfxColor(0xFFFFFF00, 0xFF000040, 0);  // yellow on dark blue
    zq_Cls(0);
    zq_GfxLocate(2, 30, 0);
    zq_PrintFixString(0, "Printing with colours", ZQ_PRINT_NEWLINE);

    // A chart of 16 colours: row r, column c.
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const uint32_t fg = 0xFF000000u | (r * 85u) << 16 | (c * 85u) << 8 | 0xC0u;
            zq_GfxColor(static_cast<int32_t>(fg), 0, 2);  // keep the background
            zq_GfxLocate(5 + r * 2, 10 + c * 16, 0);
            char cell[16];
            std::snprintf(cell, sizeof cell, "colour %d,%d", r, c);
            zq_PrintFixString(0, cell, 0);
        }
    }

    int32_t cols, rows;
    zq_GfxGetSize(&cols, &rows);
    for (int frame = 0; frame != frames && !quit_key(); ++frame) {
        char line[32];
        std::snprintf(line, sizeof line, " frame %5d ", frame);
        zq_GfxColor(static_cast<int32_t>(0xFF000000u | (frame * 8u % 256) << 8 | 0xFF), 0xFF202020,
                    0);
        zq_GfxLocate(15 + frame % (rows - 15), 1 + frame * 3 % (cols - 13), 0);
        zq_PrintFixString(0, line, 0);
        zq_GfxWaitVSync();
    }
    zq_End(0);
}
