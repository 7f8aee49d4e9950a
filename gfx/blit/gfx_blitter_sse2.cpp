// SSE2 line converters shared by the plain and MMX blitters: eight pixels per
// step in 128-bit registers, the last one to seven by the plain formulas, so
// that each writes exactly its plain formula's bytes for any count. Built for
// every target with the instructions enabled per function; used only where
// the processor reports SSE2.
#include <emmintrin.h>

#include "gfx/blit/gfx_blitter_lines.h"
#include "gfx/gfx_internal.h"

using namespace blit;

#define ZQ_SSE2 __attribute__((target("sse2")))

namespace {

constexpr uint32_t kCpuHasSse2 = 1u << 26;  // CPUID leaf 1, EDX

ZQ_SSE2 inline __m128i get16(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

ZQ_SSE2 inline void put16(uint8_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

ZQ_SSE2 inline __m128i all32(uint32_t v) {
    return _mm_set1_epi32(static_cast<int>(v));
}

ZQ_SSE2 inline __m128i all16(uint16_t v) {
    return _mm_set1_epi16(static_cast<short>(v));
}

// The plain formula for the pixels after the last whole group.
template <typename Out, typename In, Out (*F)(In)>
inline void rest(uint8_t* dst, const uint8_t* src, int32_t from, int32_t count) {
    for (int32_t i = from; i < count; ++i)
        store<Out>(dst + i * sizeof(Out), F(load<In>(src + i * sizeof(In))));
}

// ---- 32-bit sources ----

// Four pixels to their 15- or 16-bit values, held `Shift` bits up in the
// 32-bit lanes (5 for 16 bits, 6 for 15): the top five bits of bytes 0 and 2
// multiplied into place with one multiply-add, green masked where it already
// lies.
template <int Bits, bool Rgb>
ZQ_SSE2 inline __m128i narrow_quad(__m128i p) {
    constexpr int kShift = Bits == 16 ? 5 : 6;
    constexpr uint32_t kLow = 1u << (kShift - 3), kHigh = 0x2000;  // to bit 0, to the top field
    constexpr uint32_t kMul = Rgb ? (kLow << 16 | kHigh) : (kHigh << 16 | kLow);
    const __m128i rb = _mm_madd_epi16(_mm_and_si128(p, all32(0x00F800F8u)), all32(kMul));
    return _mm_or_si128(rb, _mm_and_si128(p, all32(Bits == 16 ? 0xFC00u : 0xF800u)));
}

// Two quads to eight 16-bit words: the shift left puts each value in the
// lane's high half, the arithmetic shift right brings it down sign-extended,
// so that the signed pack keeps values above 0x7FFF as they are.
template <int Bits>
ZQ_SSE2 inline __m128i pack_words(__m128i a, __m128i b) {
    constexpr int kUp = Bits == 16 ? 11 : 10;
    a = _mm_srai_epi32(_mm_slli_epi32(a, kUp), 16);
    b = _mm_srai_epi32(_mm_slli_epi32(b, kUp), 16);
    return _mm_packs_epi32(a, b);
}

template <int Bits, bool Rgb, uint16_t (*F)(uint32_t)>
ZQ_SSE2 void narrow32(uint8_t* dst, const uint8_t* src, int32_t count, const void*) {
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m128i a = narrow_quad<Bits, Rgb>(get16(src + i * 4));
        const __m128i b = narrow_quad<Bits, Rgb>(get16(src + i * 4 + 16));
        put16(dst + i * 2, pack_words<Bits>(a, b));
    }
    rest<uint16_t, uint32_t, F>(dst, src, i, count);
}

// Bytes 0 and 2 of each lane exchanged: the lane's 16-bit halves swapped
// give both in place; green and the fourth byte come from the pixel.
ZQ_SSE2 inline __m128i swap_rb_quad(__m128i p) {
    const __m128i halves = _mm_shufflehi_epi16(_mm_shufflelo_epi16(p, 0xB1), 0xB1);
    const __m128i ga = all32(0xFF00FF00u);
    return _mm_or_si128(_mm_and_si128(p, ga), _mm_andnot_si128(ga, halves));
}

ZQ_SSE2 void swap32(uint8_t* dst, const uint8_t* src, int32_t count, const void*) {
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        put16(dst + i * 4, swap_rb_quad(get16(src + i * 4)));
        put16(dst + i * 4 + 16, swap_rb_quad(get16(src + i * 4 + 16)));
    }
    rest<uint32_t, uint32_t, swap_rb>(dst, src, i, count);
}

// ---- 16-bit sources, eight pixels in 16-bit lanes ----

ZQ_SSE2 inline __m128i to15_bgr_oct(__m128i p) {
    return _mm_or_si128(_mm_and_si128(p, all16(0x1F)),
                        _mm_and_si128(_mm_srli_epi16(p, 1), all16(0x7FE0)));
}

ZQ_SSE2 inline __m128i to15_rgb_oct(__m128i p) {
    const __m128i ends =
        _mm_or_si128(_mm_and_si128(_mm_slli_epi16(p, 10), all16(0x7C00)), _mm_srli_epi16(p, 11));
    return _mm_or_si128(ends, _mm_and_si128(_mm_srli_epi16(p, 1), all16(0x03E0)));
}

ZQ_SSE2 inline __m128i to16_rgb_oct(__m128i p) {
    const __m128i ends = _mm_or_si128(_mm_slli_epi16(p, 11), _mm_srli_epi16(p, 11));
    return _mm_or_si128(ends, _mm_and_si128(p, all16(0x07E0)));
}

template <__m128i (*Oct)(__m128i), uint16_t (*F)(uint16_t)>
ZQ_SSE2 void map16(uint8_t* dst, const uint8_t* src, int32_t count, const void*) {
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) put16(dst + i * 2, Oct(get16(src + i * 2)));
    rest<uint16_t, uint16_t, F>(dst, src, i, count);
}

// Four 5-6-5 pixels in 32-bit lanes to the 16-to-32 table's colours: each
// field widened by zero low bits.
template <bool Rgb>
ZQ_SSE2 inline __m128i widen_quad(__m128i p) {
    const __m128i blue = _mm_and_si128(p, all32(0x1F));
    const __m128i red = _mm_and_si128(p, all32(0xF800));
    const __m128i green = _mm_slli_epi32(_mm_and_si128(p, all32(0x07E0)), 5);
    const __m128i ends = Rgb ? _mm_or_si128(_mm_slli_epi32(blue, 19), _mm_srli_epi32(red, 8))
                             : _mm_or_si128(_mm_slli_epi32(blue, 3), _mm_slli_epi32(red, 8));
    return _mm_or_si128(ends, green);
}

template <bool Rgb>
ZQ_SSE2 void widen16(uint8_t* dst, const uint8_t* src, int32_t count, const void* table) {
    const __m128i zero = _mm_setzero_si128();
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m128i p = get16(src + i * 2);
        put16(dst + i * 4, widen_quad<Rgb>(_mm_unpacklo_epi16(p, zero)));
        put16(dst + i * 4 + 16, widen_quad<Rgb>(_mm_unpackhi_epi16(p, zero)));
    }
    if (i < count) conv16_line(dst + i * 4, src + i * 2, count - i, table);
}

constexpr BlitSse2Lines kLines = {
    narrow32<15, false, to15_bgr>,
    narrow32<15, true, to15_rgb>,
    narrow32<16, false, to16_bgr>,
    narrow32<16, true, to16_rgb>,
    swap32,
    map16<to15_bgr_oct, p16to15_bgr>,
    map16<to15_rgb_oct, p16to15_rgb>,
    map16<to16_rgb_oct, p16to16_rgb>,
    {widen16<false>, widen16<true>},
};

}  // namespace

namespace {
bool sse2_allowed = true;
}

const BlitSse2Lines* zq_hBlitSse2Lines() {
    static const bool has_sse2 = (zq_CpuDetect() & kCpuHasSse2) != 0;
    return has_sse2 && sse2_allowed ? &kLines : nullptr;
}

void zq_hBlitAllowSse2(bool allow) {
    sse2_allowed = allow;
}
