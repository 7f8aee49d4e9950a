// Helpers of the MMX routines (functions marked ZQ_MMX; each clears the MMX
// state with _mm_empty before it returns, because the same registers serve
// the x87 unit).
#pragma once

#include <mmintrin.h>

#include <cstdint>

#define ZQ_MMX __attribute__((target("mmx")))

// An unaligned, aliasing 8-byte memory operand (GCC's __m64_u; clang has none).
typedef int ZqM64u __attribute__((__vector_size__(8), __may_alias__, __aligned__(1)));

// Unaligned 8-byte moves through an MMX register. Left to itself the compiler
// splits a 32-bit build's __m64 stores into pairs of 4-byte integer moves.
ZQ_MMX inline void zq_hPut8(uint8_t* p, __m64 v) {
    __asm__("movq %1, %0" : "=m"(*reinterpret_cast<ZqM64u*>(p)) : "y"(v));
}

ZQ_MMX inline __m64 zq_hGet8(const uint8_t* p) {
    __m64 v;
    __asm__("movq %1, %0" : "=y"(v) : "m"(*reinterpret_cast<const ZqM64u*>(p)));
    return v;
}

// Both 32-bit halves set to v.
ZQ_MMX inline __m64 zq_hPair32(uint32_t v) {
    return _mm_set_pi32(static_cast<int>(v), static_cast<int>(v));
}
