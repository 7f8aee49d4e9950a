// The pixel formulas and the line walk shared by the plain and MMX blitters.
// Both units build their members from these, so the MMX groups of four pixels
// and the plain remainder of a line agree by construction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Converts `count` pixels of one framebuffer line; `table` is the member's
// look-up table (a converted palette, the 16-to-32 table) or null.
using BlitLineFn = void (*)(uint8_t* dst, const uint8_t* src, int32_t count, const void* table);

// Walks the dirty framebuffer lines of the current screen: converts each into
// its first display line and copies that to the line_repeat - 1 lines below.
// dst_bytes is the display's pixel size.
void zq_hBlitLines(uint8_t* dest, int32_t pitch, int32_t dst_bytes, BlitLineFn line,
                   const void* table);

// The SSE2 line converters (gfx_blitter_sse2.cpp), which both member sets use
// where the processor has SSE2: each writes exactly the bytes of the plain
// formula it stands for, for any count.
struct BlitSse2Lines {
    BlitLineFn from32to15_bgr, from32to15_rgb, from32to16_bgr, from32to16_rgb, from32to32_rgb;
    BlitLineFn from16to15_bgr, from16to15_rgb, from16to16_rgb;
    // By order (0 BGR, 1 RGB); they compute the 16-to-32 table's colours, so
    // they serve only a table filled for that order.
    BlitLineFn from16to32[2];
};

// The SSE2 converters, or null when the processor has no SSE2 or tests have
// switched them off.
const BlitSse2Lines* zq_hBlitSse2Lines();
void zq_hBlitAllowSse2(bool allow);

// The order the 16-to-32 table holds: 0 BGR, 1 RGB, -1 neither.
int zq_hConv16Order(const uint32_t* table);

namespace blit {

// Unaligned pixel access (lines of a 24-bit display start anywhere).
template <typename T>
inline T load(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T>
inline void store(uint8_t* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

// ---- Pixel formulas. x is a framebuffer 32-bit pixel: B, G, R in bytes 0-2. ----

inline uint32_t swap_rb(uint32_t x) {
    return (x & 0xFF00FF00u) | ((x >> 16) & 0xFFu) | ((x & 0xFFu) << 16);
}
inline uint32_t keep_bgr(uint32_t x) {
    return x;
}
// swap_rb with the fourth byte dropped, in one instruction: for 24-bit output.
inline uint32_t swap_rb_24(uint32_t x) {
    return __builtin_bswap32(x) >> 8;
}
inline uint16_t to15_bgr(uint32_t x) {
    return static_cast<uint16_t>(((x >> 9) & 0x7C00u) | ((x >> 6) & 0x03E0u) | ((x >> 3) & 0x1Fu));
}
inline uint16_t to15_rgb(uint32_t x) {
    return static_cast<uint16_t>(((x << 7) & 0x7C00u) | ((x >> 6) & 0x03E0u) | ((x >> 19) & 0x1Fu));
}
inline uint16_t to16_bgr(uint32_t x) {
    return static_cast<uint16_t>(((x >> 8) & 0xF800u) | ((x >> 5) & 0x07E0u) | ((x >> 3) & 0x1Fu));
}
inline uint16_t to16_rgb(uint32_t x) {
    return static_cast<uint16_t>(((x << 8) & 0xF800u) | ((x >> 5) & 0x07E0u) | ((x >> 19) & 0x1Fu));
}

// p is a 5-6-5 framebuffer pixel.
inline uint16_t p16to15_bgr(uint16_t p) {
    return static_cast<uint16_t>((p & 0x1Fu) | ((p >> 1) & 0x7FE0u));
}
inline uint16_t p16to15_rgb(uint16_t p) {
    return static_cast<uint16_t>(((p << 10) & 0x7C00u) | ((p >> 1) & 0x03E0u) | (p >> 11));
}
inline uint16_t p16to16_rgb(uint16_t p) {
    return static_cast<uint16_t>(((p << 11) & 0xF800u) | (p & 0x07E0u) | (p >> 11));
}
inline uint32_t p16to32(const uint32_t* conv, uint16_t p) {
    return conv[p & 0xFF] | conv[256 + (p >> 8)];
}

// ---- Plain line converters ----

// The loops run in blocks of eight pixels so that the compiler turns them into
// vector code even under its cheapest cost model (no remainder inside a block).
template <typename Fn>
inline void for_pixels(int32_t count, Fn fn) {
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        for (int32_t j = 0; j < 8; ++j) fn(i + j);
    }
    for (; i < count; ++i) fn(i);
}

template <typename Out, typename In, Out (*F)(In)>
void map_line(uint8_t* __restrict dst, const uint8_t* __restrict src, int32_t count, const void*) {
    for_pixels(count, [&](int32_t i) {
        store<Out>(dst + i * sizeof(Out), F(load<In>(src + i * sizeof(In))));
    });
}

template <typename Out>
void palette_line(uint8_t* __restrict dst, const uint8_t* __restrict src, int32_t count,
                  const void* table) {
    const Out* t = static_cast<const Out*>(table);
    for (int32_t i = 0; i < count; ++i) store<Out>(dst + i * sizeof(Out), t[src[i]]);
}

// Two pixels per 32-bit load; the look-ups stay scalar (vector code would
// only take the indexes apart again).
template <typename Put>
inline void conv16_pixels(const uint8_t* __restrict src, int32_t count, const uint32_t* conv,
                          Put put) {
    int32_t i = 0;
    for (; i + 2 <= count; i += 2) {
        uint32_t two = load<uint32_t>(src + i * 2);
        put(i, conv[two & 0xFF] | conv[256 + ((two >> 8) & 0xFF)]);
        put(i + 1, conv[(two >> 16) & 0xFF] | conv[256 + (two >> 24)]);
    }
    if (i < count) put(i, p16to32(conv, load<uint16_t>(src + i * 2)));
}

inline void conv16_line(uint8_t* __restrict dst, const uint8_t* __restrict src, int32_t count,
                        const void* table) {
    conv16_pixels(src, count, static_cast<const uint32_t*>(table),
                  [&](int32_t i, uint32_t c) { store<uint32_t>(dst + i * 4, c); });
}

// 24-bit output: four pixels (the low three bytes of each colour) go out as
// three 32-bit words, least significant byte first; the last one to three
// pixels byte by byte in the same order.
template <typename ColorAt>
inline void pack24(uint8_t* __restrict dst, int32_t count, ColorAt color) {
    int32_t i = 0;
    for (; i + 4 <= count; i += 4, dst += 12) {
        uint32_t c0 = color(i) & 0xFFFFFFu, c1 = color(i + 1) & 0xFFFFFFu;
        uint32_t c2 = color(i + 2) & 0xFFFFFFu, c3 = color(i + 3) & 0xFFFFFFu;
        store<uint32_t>(dst, c0 | c1 << 24);
        store<uint32_t>(dst + 4, c1 >> 8 | c2 << 16);
        store<uint32_t>(dst + 8, c2 >> 16 | c3 << 8);
    }
    for (; i < count; ++i, dst += 3) {
        uint32_t c = color(i);
        dst[0] = static_cast<uint8_t>(c);
        dst[1] = static_cast<uint8_t>(c >> 8);
        dst[2] = static_cast<uint8_t>(c >> 16);
    }
}

template <uint32_t (*F)(uint32_t)>
void pack24_line(uint8_t* __restrict dst, const uint8_t* __restrict src, int32_t count,
                 const void*) {
    pack24(dst, count, [&](int32_t i) { return F(load<uint32_t>(src + i * 4)); });
}

inline void palette24_line(uint8_t* __restrict dst, const uint8_t* __restrict src, int32_t count,
                           const void* table) {
    const uint32_t* t = static_cast<const uint32_t*>(table);
    pack24(dst, count, [&](int32_t i) { return t[src[i]]; });
}

inline void conv16to24_line(uint8_t* __restrict dst, const uint8_t* __restrict src, int32_t count,
                            const void* table) {
    const uint32_t* conv = static_cast<const uint32_t*>(table);
    pack24(dst, count, [&](int32_t i) { return p16to32(conv, load<uint16_t>(src + i * 2)); });
}

}  // namespace blit
