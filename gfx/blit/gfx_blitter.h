// Blitters: copy the changed framebuffer lines of the current screen into a
// display image of another pixel format, repeating each line `line_repeat`
// times. A driver picks one with zq_hGetBlitter when it opens its display and
// calls it, under its update lock, once per frame.
#pragma once

#include <cstdint>

// Writes every display line whose framebuffer line is dirty: display line k
// (0 .. height x line_repeat - 1) shows framebuffer line k / line_repeat and
// starts at dest + k x pitch (pitch may be negative for bottom-up images).
// Reads the current GfxState; never changes it and never clears dirty flags.
using Blitter = void (*)(uint8_t* dest, int32_t pitch);

// The blitter that shows the current framebuffer on a display of `depth` bits
// (8, 15, 16, 24 or 32) in RGB order (rgb != 0: red in the lowest bits, or
// first in memory) or BGR order (the framebuffer's own); null when no member
// converts to that format or no screen is open. Also fills
// __zq_color_conv_16to32 for the order. Picks the MMX set when the processor
// has it, line_repeat is 1 and width is a multiple of 4.
Blitter zq_hGetBlitter(int depth, int rgb);

// The members. Each MMX member writes exactly its plain twin's bytes, for any
// width and line_repeat; zq_hBlitCopy serves both sets. Palette sources give
// 32-bit pixels a zero fourth byte; 32-bit sources keep theirs.
void zq_hBlitCopy(uint8_t* dest, int32_t pitch);
void zq_hBlit8to15RGB(uint8_t* dest, int32_t pitch);
void zq_hBlit8to15BGR(uint8_t* dest, int32_t pitch);
void zq_hBlit8to16RGB(uint8_t* dest, int32_t pitch);
void zq_hBlit8to16BGR(uint8_t* dest, int32_t pitch);
void zq_hBlit8to24RGB(uint8_t* dest, int32_t pitch);
void zq_hBlit8to24BGR(uint8_t* dest, int32_t pitch);
void zq_hBlit8to32RGB(uint8_t* dest, int32_t pitch);
void zq_hBlit8to32BGR(uint8_t* dest, int32_t pitch);
void zq_hBlit16to15RGB(uint8_t* dest, int32_t pitch);
void zq_hBlit16to15BGR(uint8_t* dest, int32_t pitch);
void zq_hBlit16to16RGB(uint8_t* dest, int32_t pitch);
void zq_hBlit16to24(uint8_t* dest, int32_t pitch);  // order: __zq_color_conv_16to32
void zq_hBlit16to32(uint8_t* dest, int32_t pitch);  // order: __zq_color_conv_16to32
void zq_hBlit32to15RGB(uint8_t* dest, int32_t pitch);
void zq_hBlit32to15BGR(uint8_t* dest, int32_t pitch);
void zq_hBlit32to16RGB(uint8_t* dest, int32_t pitch);
void zq_hBlit32to16BGR(uint8_t* dest, int32_t pitch);
void zq_hBlit32to24RGB(uint8_t* dest, int32_t pitch);
void zq_hBlit32to24BGR(uint8_t* dest, int32_t pitch);
void zq_hBlit32to32RGB(uint8_t* dest, int32_t pitch);

void zq_hBlit8to15RGBMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit8to15BGRMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit8to16RGBMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit8to16BGRMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit8to24RGBMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit8to24BGRMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit8to32RGBMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit8to32BGRMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit16to15RGBMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit16to15BGRMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit16to16RGBMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit16to24MMX(uint8_t* dest, int32_t pitch);
void zq_hBlit16to32MMX(uint8_t* dest, int32_t pitch);
void zq_hBlit32to15RGBMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit32to15BGRMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit32to16RGBMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit32to16BGRMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit32to24RGBMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit32to24BGRMMX(uint8_t* dest, int32_t pitch);
void zq_hBlit32to32RGBMMX(uint8_t* dest, int32_t pitch);
