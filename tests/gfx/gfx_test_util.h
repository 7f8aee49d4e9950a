// Shared set-up of the graphics tests: a screen without a display, image
// buffers, random bytes, fingerprints and the "ZQGFX" environment variable.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "gfx/gfx_internal.h"

inline void set_env(const char* name, const char* value) {
#ifdef _WIN32
    std::string entry = std::string(name) + "=" + (value ? value : "");
    _putenv(entry.c_str());
#else
    if (value) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
#endif
}

// FNV-1a: pinned fingerprints of pictures and data blocks.
inline uint64_t fnv1a(const uint8_t* p, size_t n) {
    uint64_t h = 0xcbf29ce484222325u;
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001b3u;
    return h;
}

// n bytes below `alphabet`, the same for the same seed.
inline std::vector<uint8_t> random_bytes(size_t n, uint32_t seed, uint32_t alphabet = 256) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> out(n);
    for (auto& b : out) b = static_cast<uint8_t>(rng() % alphabet);
    return out;
}

// A new-form image buffer: the 32-byte header, then rows of `pitch` bytes.
inline std::vector<uint8_t> image_buffer(int32_t bpp, int32_t w, int32_t h, int32_t pitch) {
    std::vector<uint8_t> buf(32 + static_cast<size_t>(h) * static_cast<size_t>(pitch));
    const int32_t header[5] = {7, bpp, w, h, pitch};
    std::memcpy(buf.data(), header, sizeof header);
    return buf;
}

// A screen on the Null driver for each test, closed after it (which also resets
// the text console); derived fixtures may override open_screen().
class NullScreenTest : public ::testing::Test {
   protected:
    void SetUp() override {
        ASSERT_EQ(open_screen(), 0);
        ASSERT_NE(__zq_gfx, nullptr);
    }
    void TearDown() override { zq_GfxScreen(0, 0, 0, 0, 0); }

    virtual int32_t open_screen() { return zq_GfxScreen(18, 32, 1, DriverFlags::NoDisplay, 0); }

    static GfxState& screen() { return *__zq_gfx; }
    static GfxContext& context() { return *zq_hGetContext(); }
};
