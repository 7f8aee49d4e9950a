// Lines, boxes and a palette animation on a 320 x 200 screen with 256
// indexed colours: the picture is drawn once, then only the palette moves.
// Usage: palette [frames]   (any key or the close button ends it sooner)
#include <cstdio>
#include <cstdlib>

#include "zq/zq_gfx.h"

// Palette entry 16 + i of a 240-entry colour wheel turned by `phase`.
static void set_wheel(int phase) {
    for (int i = 0; i < 240; ++i) {
        const int h = (i + phase) % 240;
        const int r = h < 80 ? 255 - h * 3 : h < 160 ? 0 : (h - 160) * 3;
        const int g = h < 80 ? h * 3 : h < 160 ? 255 - (h - 80) * 3 : 0;
        const int b = h < 80 ? 0 : h < 160 ? (h - 80) * 3 : 255 - (h - 160) * 3;
        zq_GfxPalette(16 + i, r, g, b);
    }
}

int main(int argc, char** argv) {
    zq_Init(argc, argv, 0);
    const int frames = argc > 1 ? std::atoi(argv[1]) : -1;
    if (zq_GfxScreen(13, 0, 1, 0, 0) != 0) {
        std::fprintf(stderr, "palette: no screen (error %d)\n", zq_ErrorGetNum());
        zq_End(1);
    }
    set_wheel(0);
    // Rays from the centre to the edge of the screen, one colour each: 60 to
    // each side, clockwise from the top left corner.
    for (int i = 0; i < 240; ++i) {
        const int k = i % 60, side = i / 60;
        const int along_x = k * 320 / 60, along_y = k * 200 / 60;
        const int x = side == 0 ? along_x : side == 1 ? 319 : side == 2 ? 319 - along_x : 0;
        const int y = side == 0 ? 0 : side == 1 ? along_y : side == 2 ? 199 : 199 - along_y;
        zq_GfxLine(nullptr, 160, 100, static_cast<float>(x), static_cast<float>(y),
                   static_cast<uint32_t>(16 + i), 0, 0xFFFF, 0);
    }
    // Nested boxes: filled, then outlined with a dashed pattern.
    for (int i = 0; i < 8; ++i) {
        const float d = static_cast<float>(i * 6);
        zq_GfxLine(nullptr, 10 + d, 10 + d, 60 - d, 60 - d, static_cast<uint32_t>(16 + i * 30), 2,
                   0xFFFF, 0);
    }
    zq_GfxLine(nullptr, 4, 4, 66, 66, 15, 1, 0xF0F0, 0);  // colour 15: white
    zq_GfxLine(nullptr, 250, 130, 315, 195, 14, 1, 0xFFFF, 0);

    for (int frame = 0; frame != frames; ++frame) {
        ZqString* key = zq_Inkey();
        const bool quit = key->len > 0;
        zq_StrDelTemp(key);
        if (quit) break;
        set_wheel(frame * 2);
        zq_GfxWaitVSync();
    }
    zq_End(0);
}
