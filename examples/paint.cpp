// A mouse paint program: hold the left button to draw, the right one to
// erase; the wheel changes the brush size, keys 1 to 8 the colour, C clears.
// It follows the window's events rather than polling.
// Usage: paint [frames]   (Escape or the close button ends it sooner)
#include <cstdio>
#include <cstdlib>

#include "zq/zq_gfx.h"

namespace {
constexpr uint32_t kColours[8] = {0xFFFFFFFF, 0xFFFF0000, 0xFF00C000, 0xFF0000FF,
                                  0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF, 0xFF808080};
constexpr uint32_t kPaper = 0xFF101018;

void draw_swatches(int chosen) {
    for (int i = 0; i < 8; ++i) {
        const float x = static_cast<float>(i * 40);
        zq_GfxLine(nullptr, x, 0, x + 38, 18, kColours[i], 2, 0xFFFF, 0);
        zq_GfxLine(nullptr, x, 0, x + 38, 18, i == chosen ? 0xFFFFFFFF : 0xFF000000, 1, 0xFFFF, 0);
    }
}

// A stroke of `size` pixels: one filled box per point of the line.
void stroke(int x1, int y1, int x2, int y2, int size, uint32_t colour) {
    const int steps = std::abs(x2 - x1) > std::abs(y2 - y1) ? std::abs(x2 - x1) : std::abs(y2 - y1);
    for (int i = 0; i <= steps; ++i) {
        const float x = static_cast<float>(x1 + (steps ? (x2 - x1) * i / steps : 0));
        const float y = static_cast<float>(y1 + (steps ? (y2 - y1) * i / steps : 0));
        zq_GfxLine(nullptr, x - size / 2, y - size / 2, x + size / 2, y + size / 2, colour, 2,
                   0xFFFF, 0);
    }
}
}  // namespace

int main(int argc, char** argv) {
    zq_Init(argc, argv, 0);
    const int frames = argc > 1 ? std::atoi(argv[1]) : -1;
    if (zq_GfxScreen(18, 32, 1, 0, 0) != 0) {
        std::fprintf(stderr, "paint: no screen (error %d)\n", zq_ErrorGetNum());
        zq_End(1);
    }
    zq_GfxLine(nullptr, 0, 20, 639, 479, kPaper, 2, 0xFFFF, 0);  // paper below the swatches
    int colour = 1, size = 4, buttons = 0, last_x = -1, last_y = -1;
    draw_swatches(colour);
    bool quit = false;
    for (int frame = 0; frame != frames && !quit; ++frame) {
        GfxEvent e;
        while (zq_GfxGetEvent(&e)) {
            switch (e.type) {
                case GfxEventType::ButtonDown:
                    buttons |= e.button;
                    break;
                case GfxEventType::ButtonUp:
                    buttons &= ~e.button;
                    break;
                case GfxEventType::WheelMotion:
                    size = 2 + (e.wheel & 15) * 2;
                    break;
                case GfxEventType::MouseOut:
                    buttons = 0;
                    break;
                case GfxEventType::CloseRequest:
                    quit = true;
                    break;
                case GfxEventType::KeyDown:
                    if (e.key.char_code == 27) quit = true;
                    if (e.key.char_code >= '1' && e.key.char_code <= '8') {
                        colour = e.key.char_code - '1';
                        draw_swatches(colour);
                    }
                    if ((e.key.char_code | 0x20) == 'c') {
                        zq_GfxLine(nullptr, 0, 20, 639, 479, kPaper, 2, 0xFFFF, 0);
                    }
                    break;
                default:
                    break;
            }
        }
        int32_t x, y;
        if (zq_GfxGetMouse(&x, &y, nullptr, nullptr) == 0 && buttons) {
            if (y < 20 && (buttons & 1)) {
                colour = x / 40 < 8 ? x / 40 : colour;  // a click on a swatch
                draw_swatches(colour);
            } else {
                if (last_x < 0) last_x = x, last_y = y;
                stroke(last_x, last_y, x, y, size, (buttons & 2) ? kPaper : kColours[colour]);
            }
            last_x = x, last_y = y;
        } else {
            last_x = -1;
        }
        // The key buffer fills too; empty it so the close key is not left over.
        zq_StrDelTemp(zq_Inkey());
        zq_GfxWaitVSync();
    }
    zq_End(0);
}
