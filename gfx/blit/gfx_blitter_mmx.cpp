// The MMX blitters: groups of four pixels in MMX registers, the last one to
// three pixels of a line by the plain formulas, so that every member writes
// its plain twin's bytes for any width. The look-up members (8-bit sources,
// 16-bit to 24 or 32 bits) and 24-bit output run the plain loops: MMX has no
// gather, and assembling looked-up or 3-byte pixels in MMX registers measured
// no faster than the scalar stores (slower for 24-bit output).
#include "gfx/blit/gfx_blitter.h"
#include "gfx/blit/gfx_blitter_lines.h"
#include "gfx/gfx_internal.h"
#include "gfx/gfx_mmx.h"

using namespace blit;

namespace {

// Masks and multipliers, four 16-bit words or two 32-bit halves each.
constexpr uint64_t const16to15_r = 0x001F001F001F001Full;
constexpr uint64_t const16to15_g = 0x07C007C007C007C0ull;
constexpr uint64_t const16to15_gb = 0xFFC0FFC0FFC0FFC0ull;
constexpr uint64_t const16to16_g = 0x07E007E007E007E0ull;
constexpr uint64_t const16to15_low = 0x7FFF7FFF7FFF7FFFull;  // bit 15 of a 15-bit pixel is 0
constexpr uint64_t const32to15_rb = 0x00F800F800F800F8ull;
constexpr uint64_t const32to15_mul_bgr = 0x0400000104000001ull;
constexpr uint64_t const32to15_mul_rgb = 0x0001040000010400ull;
constexpr uint64_t const32to15_g = 0x0000F8000000F800ull;
constexpr uint64_t const32to16_rb = 0x00F800F800F800F8ull;
constexpr uint64_t const32to16_mul_bgr = 0x0800000108000001ull;
constexpr uint64_t const32to16_mul_rgb = 0x0001080000010800ull;
constexpr uint64_t const32to16_g = 0x0000FC000000FC00ull;
constexpr uint64_t const32to32_ag = 0xFF00FF00FF00FF00ull;
constexpr uint64_t const32to32_b = 0x000000FF000000FFull;

ZQ_MMX inline __m64 m64(uint64_t v) {
    return _mm_set_pi32(static_cast<int>(v >> 32), static_cast<int>(v));
}

// The whole groups of four pixels by `Groups`, the rest by the plain `Rest`.
template <BlitLineFn Groups, BlitLineFn Rest, int SrcBytes, int DstBytes>
void split_line(uint8_t* dst, const uint8_t* src, int32_t count, const void* table) {
    int32_t bulk = count & ~3;
    if (bulk) Groups(dst, src, bulk, table);
    if (bulk != count) Rest(dst + bulk * DstBytes, src + bulk * SrcBytes, count - bulk, table);
}

// ---- 32-bit sources ----

// Two pixels to their 15- or 16-bit values in the low halves of the 32-bit
// lanes: the top five bits of bytes 0 and 2 multiplied into place with one
// multiply-add, then green.
ZQ_MMX inline __m64 pack_pair(__m64 p, __m64 rb_mask, __m64 mul, __m64 g_mask, int g_shift) {
    __m64 rb = _mm_srli_pi32(_mm_madd_pi16(_mm_and_si64(p, rb_mask), mul), 3);
    return _mm_or_si64(rb, _mm_srli_pi32(_mm_and_si64(p, g_mask), g_shift));
}

template <uint64_t Mul>
ZQ_MMX void groups32to15(uint8_t* dst, const uint8_t* src, int32_t count, const void*) {
    __m64 rb = m64(const32to15_rb), mul = m64(Mul), g = m64(const32to15_g);
    for (int32_t i = 0; i < count; i += 4, src += 16, dst += 8) {
        __m64 a = pack_pair(zq_hGet8(src), rb, mul, g, 6);
        __m64 b = pack_pair(zq_hGet8(src + 8), rb, mul, g, 6);
        zq_hPut8(dst, _mm_packs_pi32(a, b));  // every value is below 0x8000
    }
    _mm_empty();
}

template <uint64_t Mul>
ZQ_MMX void groups32to16(uint8_t* dst, const uint8_t* src, int32_t count, const void*) {
    __m64 rb = m64(const32to16_rb), mul = m64(Mul), g = m64(const32to16_g);
    for (int32_t i = 0; i < count; i += 4, src += 16, dst += 8) {
        __m64 a = pack_pair(zq_hGet8(src), rb, mul, g, 5);
        __m64 b = pack_pair(zq_hGet8(src + 8), rb, mul, g, 5);
        // Values up to 0xFFFF would saturate in a signed pack: gather the low
        // halves by interleaving instead.
        __m64 lo = _mm_unpacklo_pi16(a, b), hi = _mm_unpackhi_pi16(a, b);
        zq_hPut8(dst, _mm_unpacklo_pi16(lo, hi));
    }
    _mm_empty();
}

// Bytes 0 and 2 of each 32-bit lane exchanged.
ZQ_MMX inline __m64 swap_rb_pair(__m64 p, __m64 ag, __m64 b) {
    __m64 kept = _mm_and_si64(p, ag);
    __m64 low = _mm_and_si64(_mm_srli_pi32(p, 16), b);
    __m64 high = _mm_slli_pi32(_mm_and_si64(p, b), 16);
    return _mm_or_si64(kept, _mm_or_si64(low, high));
}

ZQ_MMX void groups32to32rgb(uint8_t* dst, const uint8_t* src, int32_t count, const void*) {
    __m64 ag = m64(const32to32_ag), b = m64(const32to32_b);
    for (int32_t i = 0; i < count; i += 4, src += 16, dst += 16) {
        zq_hPut8(dst, swap_rb_pair(zq_hGet8(src), ag, b));
        zq_hPut8(dst + 8, swap_rb_pair(zq_hGet8(src + 8), ag, b));
    }
    _mm_empty();
}

// ---- 16-bit sources ----

ZQ_MMX void groups16to15bgr(uint8_t* dst, const uint8_t* src, int32_t count, const void*) {
    __m64 gb = m64(const16to15_gb), r = m64(const16to15_r);
    for (int32_t i = 0; i < count; i += 4, src += 8, dst += 8) {
        __m64 p = zq_hGet8(src);
        zq_hPut8(dst, _mm_or_si64(_mm_srli_pi16(_mm_and_si64(p, gb), 1), _mm_and_si64(p, r)));
    }
    _mm_empty();
}

ZQ_MMX void groups16to15rgb(uint8_t* dst, const uint8_t* src, int32_t count, const void*) {
    __m64 g = m64(const16to15_g), low = m64(const16to15_low);
    for (int32_t i = 0; i < count; i += 4, src += 8, dst += 8) {
        __m64 p = zq_hGet8(src);
        __m64 ends = _mm_and_si64(_mm_or_si64(_mm_srli_pi16(p, 11), _mm_slli_pi16(p, 10)), low);
        zq_hPut8(dst, _mm_or_si64(ends, _mm_srli_pi16(_mm_and_si64(p, g), 1)));
    }
    _mm_empty();
}

ZQ_MMX void groups16to16rgb(uint8_t* dst, const uint8_t* src, int32_t count, const void*) {
    __m64 g = m64(const16to16_g);
    for (int32_t i = 0; i < count; i += 4, src += 8, dst += 8) {
        __m64 p = zq_hGet8(src);
        __m64 ends = _mm_or_si64(_mm_srli_pi16(p, 11), _mm_slli_pi16(p, 11));
        zq_hPut8(dst, _mm_or_si64(ends, _mm_and_si64(p, g)));
    }
    _mm_empty();
}

// ---- Members ----

// The SSE2 converter, which writes the same bytes, where the processor has it.
template <BlitLineFn Groups, BlitLineFn Rest, int SrcBytes, int DstBytes>
void blit_split(uint8_t* dest, int32_t pitch, BlitLineFn BlitSse2Lines::*sse2) {
    const BlitSse2Lines* lines = zq_hBlitSse2Lines();
    BlitLineFn mmx = split_line<Groups, Rest, SrcBytes, DstBytes>;
    zq_hBlitLines(dest, pitch, DstBytes, lines ? lines->*sse2 : mmx, nullptr);
}

}  // namespace

void zq_hBlit8to15RGBMMX(uint8_t* dest, int32_t pitch) {
    zq_hBlit8to15RGB(dest, pitch);
}
void zq_hBlit8to15BGRMMX(uint8_t* dest, int32_t pitch) {
    zq_hBlit8to15BGR(dest, pitch);
}
void zq_hBlit8to16RGBMMX(uint8_t* dest, int32_t pitch) {
    zq_hBlit8to16RGB(dest, pitch);
}
void zq_hBlit8to16BGRMMX(uint8_t* dest, int32_t pitch) {
    zq_hBlit8to16BGR(dest, pitch);
}
void zq_hBlit8to24RGBMMX(uint8_t* dest, int32_t pitch) {
    zq_hBlit8to24RGB(dest, pitch);
}
void zq_hBlit8to24BGRMMX(uint8_t* dest, int32_t pitch) {
    zq_hBlit8to24BGR(dest, pitch);
}
void zq_hBlit8to32RGBMMX(uint8_t* dest, int32_t pitch) {
    zq_hBlit8to32RGB(dest, pitch);
}
void zq_hBlit8to32BGRMMX(uint8_t* dest, int32_t pitch) {
    zq_hBlit8to32BGR(dest, pitch);
}

void zq_hBlit16to15RGBMMX(uint8_t* dest, int32_t pitch) {
    blit_split<groups16to15rgb, map_line<uint16_t, uint16_t, p16to15_rgb>, 2, 2>(
        dest, pitch, &BlitSse2Lines::from16to15_rgb);
}
void zq_hBlit16to15BGRMMX(uint8_t* dest, int32_t pitch) {
    blit_split<groups16to15bgr, map_line<uint16_t, uint16_t, p16to15_bgr>, 2, 2>(
        dest, pitch, &BlitSse2Lines::from16to15_bgr);
}
void zq_hBlit16to16RGBMMX(uint8_t* dest, int32_t pitch) {
    blit_split<groups16to16rgb, map_line<uint16_t, uint16_t, p16to16_rgb>, 2, 2>(
        dest, pitch, &BlitSse2Lines::from16to16_rgb);
}
void zq_hBlit16to24MMX(uint8_t* dest, int32_t pitch) {
    zq_hBlit16to24(dest, pitch);
}
void zq_hBlit16to32MMX(uint8_t* dest, int32_t pitch) {
    zq_hBlit16to32(dest, pitch);
}

void zq_hBlit32to15RGBMMX(uint8_t* dest, int32_t pitch) {
    blit_split<groups32to15<const32to15_mul_rgb>, map_line<uint16_t, uint32_t, to15_rgb>, 4, 2>(
        dest, pitch, &BlitSse2Lines::from32to15_rgb);
}
void zq_hBlit32to15BGRMMX(uint8_t* dest, int32_t pitch) {
    blit_split<groups32to15<const32to15_mul_bgr>, map_line<uint16_t, uint32_t, to15_bgr>, 4, 2>(
        dest, pitch, &BlitSse2Lines::from32to15_bgr);
}
void zq_hBlit32to16RGBMMX(uint8_t* dest, int32_t pitch) {
    blit_split<groups32to16<const32to16_mul_rgb>, map_line<uint16_t, uint32_t, to16_rgb>, 4, 2>(
        dest, pitch, &BlitSse2Lines::from32to16_rgb);
}
void zq_hBlit32to16BGRMMX(uint8_t* dest, int32_t pitch) {
    blit_split<groups32to16<const32to16_mul_bgr>, map_line<uint16_t, uint32_t, to16_bgr>, 4, 2>(
        dest, pitch, &BlitSse2Lines::from32to16_bgr);
}
void zq_hBlit32to24RGBMMX(uint8_t* dest, int32_t pitch) {
    zq_hBlit32to24RGB(dest, pitch);
}
void zq_hBlit32to24BGRMMX(uint8_t* dest, int32_t pitch) {
    zq_hBlit32to24BGR(dest, pitch);
}
void zq_hBlit32to32RGBMMX(uint8_t* dest, int32_t pitch) {
    blit_split<groups32to32rgb, map_line<uint32_t, uint32_t, swap_rb>, 4, 4>(
        dest, pitch, &BlitSse2Lines::from32to32_rgb);
}
