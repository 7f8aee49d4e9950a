// The harnesses' view of libFuzzer's bytes: numbers taken from the front,
// zero once the input is used up, so every input is a complete program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

struct FuzzInput {
    const uint8_t* data;
    size_t size;

    bool empty() const { return size == 0; }

    uint32_t bytes(size_t n) {  // n <= 4, little-endian
        uint32_t v = 0;
        for (size_t i = 0; i < n && size > 0; ++i, ++data, --size) v |= uint32_t{*data} << (8 * i);
        return v;
    }
    uint8_t u8() { return static_cast<uint8_t>(bytes(1)); }
    uint16_t u16() { return static_cast<uint16_t>(bytes(2)); }
    uint32_t u32() { return bytes(4); }
    int32_t i32() { return static_cast<int32_t>(bytes(4)); }
    // lo..hi, both included.
    int32_t range(int32_t lo, int32_t hi) {
        const uint32_t span = static_cast<uint32_t>(hi - lo) + 1;
        return lo + static_cast<int32_t>(span ? u32() % span : u32());
    }
    // Mostly values near a screen, else raw bit patterns (NaN, infinities,
    // denormals, 1e38 and the like come often enough from those).
    float coord() {
        const uint8_t form = u8() & 3;
        if (form == 0) return static_cast<float>(static_cast<int16_t>(u16()) % 1100);
        if (form == 1) return static_cast<float>(static_cast<int16_t>(u16())) / 64.0f;
        const uint32_t bits = form == 2 ? u32() : 0x7F800000u | (u8() * 0x10101u);  // inf, NaN
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    // Up to `max` bytes as they stand.
    size_t take(size_t max, const uint8_t** out) {
        const size_t n = max < size ? max : size;
        *out = data;
        data += n;
        size -= n;
        return n;
    }
};

// An oracle that failed: libFuzzer keeps the input as a crash.
[[noreturn]] inline void fuzz_fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "oracle failed: %s (%s:%d)\n", what, file, line);
    __builtin_abort();
}
#define FUZZ_CHECK(cond) ((cond) ? (void)0 : fuzz_fail(#cond, __FILE__, __LINE__))
