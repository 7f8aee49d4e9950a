// MMX twins of the fill, copy and alpha-blend routines: 8-byte moves in
// unrolled blocks (the pixel fills cover their ends with overlapping moves,
// the others take the low bits of a count first). Each clears the MMX state before
// it returns, because the same registers serve the x87 unit that coordinate
// translation uses. Runs of 256 bytes and more go to the string stores of the
// plain routines (or the C library's memset/memcpy), which current processors
// run at a full cache line per cycle, far beyond 8-byte moves.
#include <cstring>

#include "gfx/gfx_internal.h"
#include "gfx/gfx_mmx.h"

namespace {
template <typename T>
inline void put_small(uint8_t* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

// Writes `blocks` runs of 32 bytes and then `rest` single 8-byte units.
ZQ_MMX inline uint8_t* fill_blocks(uint8_t* p, __m64 v, size_t blocks, size_t rest) {
    for (; blocks; --blocks, p += 32) {
        zq_hPut8(p, v);
        zq_hPut8(p + 8, v);
        zq_hPut8(p + 16, v);
        zq_hPut8(p + 24, v);
    }
    for (; rest; --rest, p += 8) zq_hPut8(p, v);
    return p;
}

// Runs this long (in bytes) go to the string stores or the C library.
constexpr size_t kLongRun = 256;
// Fills shorter than this (in bytes) take plain moves: clearing the MMX state
// would cost more than the moves save.
constexpr size_t kShortRun = 32;

template <int K, typename T>
inline void put_from_both_ends(uint8_t* first, uint8_t* last, T v) {
    for (int i = 0; i < K; ++i) {
        put_small<T>(first + i * sizeof(T), v);
        put_small<T>(last - i * sizeof(T), v);
    }
}

// Moves from both ends that meet or overlap in the middle: one size class per
// power of two rather than a branch per low bit of the count, which random
// span widths would defeat.
template <typename T>
void* fill_short(void* dest, T v, size_t count) {
    auto* p = static_cast<uint8_t*>(dest);
    if (count == 0) return dest;
    uint8_t* last = p + (count - 1) * sizeof(T);
    if (count > 8) {
        put_from_both_ends<8>(p, last, v);
    } else if (count > 4) {
        put_from_both_ends<4>(p, last, v);
    } else if (count > 2) {
        put_from_both_ends<2>(p, last, v);
    } else {
        put_from_both_ends<1>(p, last, v);
    }
    return dest;
}

// 32-byte blocks of 8-byte moves from the start, then the last 32 bytes, which
// may overlap the blocks (bytes >= 32).
ZQ_MMX inline void fill_to_the_end(uint8_t* p, size_t bytes, __m64 v) {
    uint8_t* tail = p + bytes - 32;
    for (; p < tail; p += 32) {
        zq_hPut8(p, v);
        zq_hPut8(p + 8, v);
        zq_hPut8(p + 16, v);
        zq_hPut8(p + 24, v);
    }
    zq_hPut8(tail, v);
    zq_hPut8(tail + 8, v);
    zq_hPut8(tail + 16, v);
    zq_hPut8(tail + 24, v);
}

constexpr uint32_t mask_rgb_32 = 0x00FFFFFF;
constexpr uint32_t mask_rb_32 = 0x00FF00FF;
constexpr uint32_t mask_g_32 = 0x0000FF00;
constexpr uint32_t mask_a_32 = 0xFF000000;

// ((d << 8) + (s - d) * a) >> 8 in each 16-bit lane: d + floor((s - d) * a / 256).
ZQ_MMX inline __m64 blend_lanes(__m64 s, __m64 d, __m64 a) {
    __m64 mixed = _mm_add_pi16(_mm_slli_pi16(d, 8), _mm_mullo_pi16(_mm_sub_pi16(s, d), a));
    return _mm_srli_pi16(mixed, 8);
}

}  // namespace

ZQ_MMX void* zq_hMemSetMMX(void* dest, int value, size_t bytes) {
    if (bytes >= kLongRun) return std::memset(dest, value, bytes);
    auto* p = static_cast<uint8_t*>(dest);
    auto b = static_cast<uint8_t>(value);
    if (bytes & 1) *p++ = b;
    if (bytes & 2) {
        put_small<uint16_t>(p, static_cast<uint16_t>(b * 0x0101u));
        p += 2;
    }
    if (bytes & 4) {
        put_small<uint32_t>(p, b * 0x01010101u);
        p += 4;
    }
    size_t units = bytes >> 3;
    fill_blocks(p, _mm_set1_pi8(static_cast<char>(b)), units >> 2, units & 3);
    _mm_empty();
    return dest;
}

ZQ_MMX void* zq_hMemCpyMMX(void* dest, const void* src, size_t bytes) {
    if (bytes >= kLongRun) return std::memcpy(dest, src, bytes);
    auto* d = static_cast<uint8_t*>(dest);
    auto* s = static_cast<const uint8_t*>(src);
    if (bytes & 1) *d++ = *s++;
    if (bytes & 2) {
        std::memcpy(d, s, 2);
        d += 2, s += 2;
    }
    if (bytes & 4) {
        std::memcpy(d, s, 4);
        d += 4, s += 4;
    }
    size_t units = bytes >> 3;
    for (size_t blocks = units >> 2; blocks; --blocks, d += 32, s += 32) {
        __m64 a = zq_hGet8(s), b = zq_hGet8(s + 8), c = zq_hGet8(s + 16), e = zq_hGet8(s + 24);
        zq_hPut8(d, a);
        zq_hPut8(d + 8, b);
        zq_hPut8(d + 16, c);
        zq_hPut8(d + 24, e);
    }
    for (size_t rest = units & 3; rest; --rest, d += 8, s += 8) zq_hPut8(d, zq_hGet8(s));
    _mm_empty();
    return dest;
}

ZQ_MMX void* zq_hPixelSet2MMX(void* dest, int color, size_t count) {
    if (count * 2 >= kLongRun) return zq_hPixelSet2(dest, color, count);
    const auto c = static_cast<uint16_t>(color);
    if (count * 2 < kShortRun) return fill_short(dest, c, count);
    fill_to_the_end(static_cast<uint8_t*>(dest), count * 2, _mm_set1_pi16(static_cast<short>(c)));
    _mm_empty();
    return dest;
}

ZQ_MMX void* zq_hPixelSet4MMX(void* dest, int color, size_t count) {
    if (count * 4 >= kLongRun) return zq_hPixelSet4(dest, color, count);
    const auto c = static_cast<uint32_t>(color);
    if (count * 4 < kShortRun) return fill_short(dest, c, count);
    fill_to_the_end(static_cast<uint8_t*>(dest), count * 4, zq_hPair32(c));
    _mm_empty();
    return dest;
}

ZQ_MMX void zq_hPutPixelAlpha4MMX(GfxContext* ctx, int32_t x, int32_t y, uint32_t color) {
    uint8_t* p = ctx->line[y] + static_cast<ptrdiff_t>(x) * 4;
    uint32_t d;
    std::memcpy(&d, p, 4);
    __m64 zero = _mm_setzero_si64();
    __m64 s16 = _mm_unpacklo_pi8(_mm_cvtsi32_si64(static_cast<int>(color)), zero);
    __m64 d16 = _mm_unpacklo_pi8(_mm_cvtsi32_si64(static_cast<int>(d)), zero);
    __m64 a16 = _mm_set1_pi16(static_cast<short>(color >> 24));
    __m64 packed = _mm_packs_pu16(blend_lanes(s16, d16, a16), zero);
    uint32_t out =
        (static_cast<uint32_t>(_mm_cvtsi64_si32(packed)) & mask_rgb_32) | (color & mask_a_32);
    _mm_empty();
    std::memcpy(p, &out, 4);
}

ZQ_MMX void* zq_hPixelSetAlpha4MMX(void* dest, int color, size_t count) {
    auto* p = static_cast<uint8_t*>(dest);
    auto c = static_cast<uint32_t>(color);
    if (count & 1) {  // the odd first pixel the plain way
        zq_hPixelSetAlpha4(p, color, 1);
        p += 4;
    }
    __m64 rb_mask = zq_hPair32(mask_rb_32), g_mask = zq_hPair32(mask_g_32);
    __m64 s_rb = zq_hPair32(c & mask_rb_32);
    __m64 s_g = _mm_srli_pi16(zq_hPair32(c & mask_g_32), 8);
    __m64 alpha = zq_hPair32(c & mask_a_32);
    __m64 a = _mm_set1_pi16(static_cast<short>(c >> 24));
    for (size_t pairs = count >> 1; pairs; --pairs, p += 8) {
        __m64 d = zq_hGet8(p);
        __m64 rb = blend_lanes(s_rb, _mm_and_si64(d, rb_mask), a);
        __m64 g = blend_lanes(s_g, _mm_srli_pi16(_mm_and_si64(d, g_mask), 8), a);
        zq_hPut8(p, _mm_or_si64(_mm_or_si64(rb, _mm_slli_pi16(g, 8)), alpha));
    }
    _mm_empty();
    return dest;
}
