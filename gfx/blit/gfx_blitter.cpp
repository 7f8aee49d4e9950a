// The plain blitters, the line walk they share with the MMX set, and the
// choice of a member for a display format.
#include "gfx/blit/gfx_blitter.h"

#include <algorithm>

#include "gfx/blit/gfx_blitter_lines.h"
#include "gfx/gfx_internal.h"

using namespace blit;

namespace {
// The dirty lines from `y` on that follow one another, at most `limit`.
int32_t dirty_run(const uint8_t* dirty, int32_t y, int32_t height, int32_t limit) {
    int32_t n = 0;
    while (y + n < height && n < limit && dirty[y + n]) ++n;
    return n;
}
}  // namespace

void zq_hBlitLines(uint8_t* dest, int32_t pitch, int32_t dst_bytes, BlitLineFn line,
                   const void* table) {
    const GfxState* s = __zq_gfx;
    if (!s || !dest || s->width <= 0 || s->height <= 0 || s->line_repeat <= 0) return;
    const size_t line_bytes = static_cast<size_t>(s->width) * static_cast<size_t>(dst_bytes);
    // Lines that lie end to end in both images convert as one long line: the
    // conversions work pixel by pixel, so only the per-line cost goes.
    const bool end_to_end = s->line_repeat == 1 && s->pitch == s->width * s->bpp &&
                            static_cast<size_t>(pitch) == line_bytes;
    const int32_t run_limit = end_to_end ? std::max(INT32_MAX / 4 / s->width, 1) : 1;
    const uint8_t* src = s->framebuffer;
    ptrdiff_t display_line = 0;
    for (int32_t y = 0; y < s->height;) {
        const int32_t run = dirty_run(s->dirty, y, s->height, run_limit);
        if (run == 0) {
            display_line += s->line_repeat;
            src += s->pitch;
            ++y;
            continue;
        }
        uint8_t* first = dest + display_line * pitch;
        line(first, src, s->width * run, table);
        // Repeats copy the converted line rather than convert it again.
        for (int32_t r = 1; r < s->line_repeat; ++r)
            std::memmove(dest + (display_line + r) * pitch, first, line_bytes);
        display_line += static_cast<ptrdiff_t>(s->line_repeat) * run;
        src += static_cast<ptrdiff_t>(s->pitch) * run;
        y += run;
    }
}

// ---- The plain members ----

namespace {
// Palette entries hold red in byte 0; the pixel formulas take framebuffer
// pixels (blue in byte 0). Entries have no fourth byte to pass on.
uint32_t entry_as_pixel(uint32_t entry) {
    return swap_rb(entry & 0xFFFFFFu);
}

// Fills table[i] with `pixel` of device palette entry i; false (and nothing
// filled) without a screen.
template <typename Out>
bool palette_table(Out* table, Out (*pixel)(uint32_t)) {
    if (!__zq_gfx) return false;
    const uint32_t* palette = __zq_gfx->device_palette;
    for (int i = 0; i < 256; ++i) table[i] = pixel(entry_as_pixel(palette[i]));
    return true;
}

// The C library's copy: the MMX copy moves lines shorter than 1 KiB 8 bytes
// at a time, at half its speed.
void copy_line(uint8_t* dst, const uint8_t* src, int32_t count, const void*) {
    std::memcpy(dst, src, static_cast<size_t>(count) * static_cast<size_t>(__zq_gfx->bpp));
}

// 8-bit sources look every pixel up in the palette converted once per call.
template <uint16_t (*F)(uint32_t)>
void blit_palette16(uint8_t* dest, int32_t pitch) {
    uint16_t table[256];
    if (palette_table<uint16_t>(table, F))
        zq_hBlitLines(dest, pitch, 2, palette_line<uint16_t>, table);
}

template <uint32_t (*F)(uint32_t), int32_t DstBytes>
void blit_palette32(uint8_t* dest, int32_t pitch) {
    uint32_t table[256];
    BlitLineFn line = DstBytes == 3 ? palette24_line : palette_line<uint32_t>;
    if (palette_table<uint32_t>(table, F)) zq_hBlitLines(dest, pitch, DstBytes, line, table);
}

template <typename Out, typename In, Out (*F)(In)>
void blit_map(uint8_t* dest, int32_t pitch) {
    zq_hBlitLines(dest, pitch, sizeof(Out), map_line<Out, In, F>, nullptr);
}

// The SSE2 converter where the processor has it, else the plain formula.
template <typename Out, typename In, Out (*F)(In)>
void blit_map_or(BlitLineFn BlitSse2Lines::*sse2, uint8_t* dest, int32_t pitch) {
    const BlitSse2Lines* lines = zq_hBlitSse2Lines();
    zq_hBlitLines(dest, pitch, sizeof(Out), lines ? lines->*sse2 : map_line<Out, In, F>, nullptr);
}
}  // namespace

void zq_hBlitCopy(uint8_t* dest, int32_t pitch) {
    if (__zq_gfx) zq_hBlitLines(dest, pitch, __zq_gfx->bpp, copy_line, nullptr);
}

void zq_hBlit8to15RGB(uint8_t* dest, int32_t pitch) {
    blit_palette16<to15_rgb>(dest, pitch);
}
void zq_hBlit8to15BGR(uint8_t* dest, int32_t pitch) {
    blit_palette16<to15_bgr>(dest, pitch);
}
void zq_hBlit8to16RGB(uint8_t* dest, int32_t pitch) {
    blit_palette16<to16_rgb>(dest, pitch);
}
void zq_hBlit8to16BGR(uint8_t* dest, int32_t pitch) {
    blit_palette16<to16_bgr>(dest, pitch);
}
void zq_hBlit8to24RGB(uint8_t* dest, int32_t pitch) {
    blit_palette32<swap_rb, 3>(dest, pitch);
}
void zq_hBlit8to24BGR(uint8_t* dest, int32_t pitch) {
    blit_palette32<keep_bgr, 3>(dest, pitch);
}
void zq_hBlit8to32RGB(uint8_t* dest, int32_t pitch) {
    blit_palette32<swap_rb, 4>(dest, pitch);
}
void zq_hBlit8to32BGR(uint8_t* dest, int32_t pitch) {
    blit_palette32<keep_bgr, 4>(dest, pitch);
}

void zq_hBlit16to15RGB(uint8_t* dest, int32_t pitch) {
    blit_map_or<uint16_t, uint16_t, p16to15_rgb>(&BlitSse2Lines::from16to15_rgb, dest, pitch);
}
void zq_hBlit16to15BGR(uint8_t* dest, int32_t pitch) {
    blit_map_or<uint16_t, uint16_t, p16to15_bgr>(&BlitSse2Lines::from16to15_bgr, dest, pitch);
}
void zq_hBlit16to16RGB(uint8_t* dest, int32_t pitch) {
    blit_map_or<uint16_t, uint16_t, p16to16_rgb>(&BlitSse2Lines::from16to16_rgb, dest, pitch);
}
void zq_hBlit16to24(uint8_t* dest, int32_t pitch) {
    zq_hBlitLines(dest, pitch, 3, conv16to24_line, __zq_color_conv_16to32);
}
void zq_hBlit16to32(uint8_t* dest, int32_t pitch) {
    const uint32_t* table = __zq_color_conv_16to32;
    const BlitSse2Lines* lines = zq_hBlitSse2Lines();
    const int order = lines && table ? zq_hConv16Order(table) : -1;
    zq_hBlitLines(dest, pitch, 4, order < 0 ? conv16_line : lines->from16to32[order], table);
}

void zq_hBlit32to15RGB(uint8_t* dest, int32_t pitch) {
    blit_map_or<uint16_t, uint32_t, to15_rgb>(&BlitSse2Lines::from32to15_rgb, dest, pitch);
}
void zq_hBlit32to15BGR(uint8_t* dest, int32_t pitch) {
    blit_map_or<uint16_t, uint32_t, to15_bgr>(&BlitSse2Lines::from32to15_bgr, dest, pitch);
}
void zq_hBlit32to16RGB(uint8_t* dest, int32_t pitch) {
    blit_map_or<uint16_t, uint32_t, to16_rgb>(&BlitSse2Lines::from32to16_rgb, dest, pitch);
}
void zq_hBlit32to16BGR(uint8_t* dest, int32_t pitch) {
    blit_map_or<uint16_t, uint32_t, to16_bgr>(&BlitSse2Lines::from32to16_bgr, dest, pitch);
}
void zq_hBlit32to24RGB(uint8_t* dest, int32_t pitch) {
    zq_hBlitLines(dest, pitch, 3, pack24_line<swap_rb_24>, nullptr);
}
void zq_hBlit32to24BGR(uint8_t* dest, int32_t pitch) {
    zq_hBlitLines(dest, pitch, 3, pack24_line<keep_bgr>, nullptr);
}
void zq_hBlit32to32RGB(uint8_t* dest, int32_t pitch) {
    blit_map_or<uint32_t, uint32_t, swap_rb>(&BlitSse2Lines::from32to32_rgb, dest, pitch);
}

// ---- Choosing a member ----

namespace {
// The 16-to-32 table: entry [low byte] | entry [256 + high byte] of a 5-6-5
// pixel is its 32-bit colour in the display's order, components widened by
// zero low bits.
void fill_conv16(uint32_t* table, bool rgb) {
    for (uint32_t c = 0; c < 256; ++c) {
        uint32_t blue = rgb ? (c & 0x1F) << 19 : (c & 0x1F) << 3;
        uint32_t red = rgb ? (c & 0xF8) : (c & 0xF8) << 16;
        table[c] = blue | (c & 0xE0) << 5;
        table[256 + c] = (c & 0x07) << 13 | red;
    }
}

}  // namespace

int zq_hConv16Order(const uint32_t* table) {
    uint32_t filled[512];
    for (int rgb = 0; rgb < 2; ++rgb) {
        fill_conv16(filled, rgb != 0);
        if (std::memcmp(filled, table, sizeof filled) == 0) return rgb;
    }
    return -1;
}

namespace {
// Columns: the framebuffer family (8, 16 or 32 bits) times the display depth
// (15, 16, 24 or 32).
// clang-format off
enum BlitColumn {
    B8to15,  B8to16,  B8to24,  B8to32,
    B16to15, B16to16, B16to24, B16to32,
    B32to15, B32to16, B32to24, B32to32,
    kBlitColumns
};

// Rows: RGB plain, BGR plain, RGB MMX, BGR MMX.
constexpr Blitter kBlitters[4][kBlitColumns] = {
    {zq_hBlit8to15RGB,     zq_hBlit8to16RGB,     zq_hBlit8to24RGB,     zq_hBlit8to32RGB,
     zq_hBlit16to15RGB,    zq_hBlit16to16RGB,    zq_hBlit16to24,       zq_hBlit16to32,
     zq_hBlit32to15RGB,    zq_hBlit32to16RGB,    zq_hBlit32to24RGB,    zq_hBlit32to32RGB},
    {zq_hBlit8to15BGR,     zq_hBlit8to16BGR,     zq_hBlit8to24BGR,     zq_hBlit8to32BGR,
     zq_hBlit16to15BGR,    zq_hBlitCopy,         zq_hBlit16to24,       zq_hBlit16to32,
     zq_hBlit32to15BGR,    zq_hBlit32to16BGR,    zq_hBlit32to24BGR,    zq_hBlitCopy},
    {zq_hBlit8to15RGBMMX,  zq_hBlit8to16RGBMMX,  zq_hBlit8to24RGBMMX,  zq_hBlit8to32RGBMMX,
     zq_hBlit16to15RGBMMX, zq_hBlit16to16RGBMMX, zq_hBlit16to24MMX,    zq_hBlit16to32MMX,
     zq_hBlit32to15RGBMMX, zq_hBlit32to16RGBMMX, zq_hBlit32to24RGBMMX, zq_hBlit32to32RGBMMX},
    {zq_hBlit8to15BGRMMX,  zq_hBlit8to16BGRMMX,  zq_hBlit8to24BGRMMX,  zq_hBlit8to32BGRMMX,
     zq_hBlit16to15BGRMMX, zq_hBlitCopy,         zq_hBlit16to24MMX,    zq_hBlit16to32MMX,
     zq_hBlit32to15BGRMMX, zq_hBlit32to16BGRMMX, zq_hBlit32to24BGRMMX, zq_hBlitCopy},
};
// clang-format on

// 0, 1 or 2 for 8-, 16- and 32-bit framebuffers (15 and 24 count as 16 and
// 32); -1 for depths no framebuffer has.
int source_family(int32_t depth) {
    if (depth == 1 || depth == 2 || depth == 4 || depth == 8) return 0;
    if (depth == 15 || depth == 16) return 1;
    if (depth == 24 || depth == 32) return 2;
    return -1;
}

int display_column(int depth) {
    constexpr int kDisplayDepths[] = {15, 16, 24, 32};
    for (int i = 0; i < 4; ++i) {
        if (kDisplayDepths[i] == depth) return i;
    }
    return -1;
}

bool use_mmx(const GfxState* s) {
    return (s->flags & SCREEN_HAS_MMX) && s->line_repeat == 1 && (s->width & 3) == 0;
}
}  // namespace

Blitter zq_hGetBlitter(int depth, int rgb) {
    if (__zq_color_conv_16to32) fill_conv16(__zq_color_conv_16to32, rgb != 0);
    const GfxState* s = __zq_gfx;
    if (!s) return nullptr;
    int family = source_family(s->depth);
    if (family < 0) return nullptr;
    if (depth == 8) return family == 0 ? zq_hBlitCopy : nullptr;
    int column = display_column(depth);
    if (column < 0) return nullptr;
    int row = (use_mmx(s) ? 2 : 0) + (rgb ? 0 : 1);
    return kBlitters[row][family * 4 + column];
}
