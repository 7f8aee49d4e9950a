// Drawing into an image buffer: a tile of lines and boxes is drawn once
// into memory, then copied across the screen, shifted a little each frame.
// Usage: image [frames]   (any key or the close button ends it sooner)
#include <cstdio>
#include <cstdlib>

#include "zq/zq_gfx.h"

int main(int argc, char** argv) {
    zq_Init(argc, argv, 0);
    const int frames = argc > 1 ? std::atoi(argv[1]) : -1;
    if (zq_GfxScreenRes(400, 300, 32, 1, 0, 0) != 0) {
        std::fprintf(stderr, "image: no screen (error %d)\n", zq_ErrorGetNum());
        zq_End(1);
    }
    // A 48 x 48 tile with the screen's pixel size.
    void* tile = zq_GfxImageCreate(48, 48, 0);
    if (!tile) zq_End(1);
    zq_GfxLine(tile, 0, 0, 47, 47, 0xFF203040, 2, 0xFFFF, 0);  // background
    zq_GfxLine(tile, 0, 0, 47, 47, 0xFFFFFFFF, 1, 0xFFFF, 0);  // frame
    zq_GfxLine(tile, 8, 8, 39, 39, 0xFFE04020, 2, 0xFFFF, 0);  // a filled box
    for (int i = 0; i < 48; i += 6) {                          // a fan of lines, dashed
        zq_GfxLine(tile, 0, 47, static_cast<float>(i), 0, 0xFF40E040, 0, 0xCCCC, 0);
    }
    // Drawing outside the tile is clipped to it.
    zq_GfxLine(tile, -20, 24, 100, 24, 0xFFFFFF00, 0, 0xFFFF, 0);

    for (int frame = 0; frame != frames; ++frame) {
        ZqString* key = zq_Inkey();
        const bool quit = key->len > 0;
        zq_StrDelTemp(key);
        if (quit) break;
        const int shift = frame % 48;
        for (int y = -48; y < 300; y += 48) {
            for (int x = -48; x < 400; x += 48)
                zq_GfxImagePut(nullptr, x + shift, y + shift / 2, tile);
        }
        zq_GfxWaitVSync();
    }
    zq_GfxImageDestroy(tile);
    zq_End(0);
}
