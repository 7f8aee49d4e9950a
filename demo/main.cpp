// The sector demo: one random filled sector per displayed frame until a key is
// read. The generator is never seeded, so every run draws the same sequence.
#include "demo/frame.h"
#include "zq/zq_gfx.h"

int main(int argc, char** argv) {
    zq_Init(argc, argv, 0);
    OPEN_DEMO_SCREEN();
    do {
        DRAW_FRAME();
        zq_GfxWaitVSync();
    } while (zq_StrCompare(zq_Inkey(), -1, "", 0) == 0);
    zq_End(0);
}
