// Prints the sample page on a 640 x 480, 32-bit screen with the 8 x 16 font.
//
//   text_print --ppm FILE   on the Null driver: writes the framebuffer to FILE
//   text_print              on the display driver: then waits for a key
// Exits 0 once done; 1 when the screen did not open or FILE could not be
// written.
#include <cstdio>
#include <cstring>

#include "gfx/gfx_internal.h"
#include "gfx/print_sample.h"
#include "text_ppm.h"

int main(int argc, char** argv) {
    zq_Init(argc, argv, 0);
    const char* ppm = argc > 2 && std::strcmp(argv[1], "--ppm") == 0 ? argv[2] : nullptr;
    if (zq_GfxScreen(18, 32, 1, ppm ? DriverFlags::NoDisplay : 0, 0) != 0 || !__zq_gfx) {
        std::printf("text_print: the screen did not open\n");
        zq_End(1);
    }
    print_sample::print_page();
    if (ppm) zq_End(write_screen_ppm(ppm) ? 0 : 1);
    std::printf("text_print: printed on %s\n", __zq_gfx->driver->name);
    std::fflush(stdout);
    zq_Getkey();
    zq_End(0);
}
