// A 64 x 48 screen (or a numbered mode) without a display whose driver records
// its lock, palette and retrace calls, and ways to read the framebuffer back as
// pixel sets and dirty rows.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "gfx_test_util.h"

using Pixel = std::pair<int, int>;
using PixelSet = std::set<Pixel>;

struct LockLog {
    int locks = 0;
    int unlocks = 0;
    bool nested = false;  // locked again before the previous unlock
    int vsyncs = 0;
    std::vector<std::array<int32_t, 4>> palette;  // {index, r, g, b} sent to the display
    bool paired() const { return locks == unlocks && !nested; }
};
inline LockLog lock_log;

class RecordingScreenTest : public ::testing::Test {
   protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(open(32)); }
    void TearDown() override { close(); }

    void open(int depth, int32_t mode = -1) {
        close();
        ASSERT_EQ(mode < 0 ? zq_GfxScreenRes(64, 48, depth, 0, -1, 0)
                           : zq_GfxScreen(mode, depth, 1, DriverFlags::NoDisplay, 0),
                  0);
        saved_driver_ = __zq_gfx->driver;
        recorder_ = *saved_driver_;
        recorder_.lock = [] {
            lock_log.nested |= lock_log.locks != lock_log.unlocks;
            ++lock_log.locks;
        };
        recorder_.unlock = [] { ++lock_log.unlocks; };
        recorder_.set_palette = [](int32_t i, int32_t r, int32_t g, int32_t b) {
            lock_log.palette.push_back({i, r, g, b});
        };
        recorder_.wait_vsync = [] { ++lock_log.vsyncs; };
        __zq_gfx->driver = &recorder_;
        lock_log = LockLog{};
        std::memset(__zq_gfx->dirty, 0, static_cast<size_t>(__zq_gfx->height));
        ctx_ = zq_hGetContext();
    }
    void close() {
        zq_ConsoleSetTopBotRows(-1, -1);
        if (!__zq_gfx) return;
        __zq_gfx->driver = saved_driver_;
        zq_GfxScreen(0, 0, 0, 0, 0);
    }

    // The rest assume 32-bit pixels.
    static uint32_t pixel(int x, int y) {
        uint32_t v;
        std::memcpy(&v, __zq_gfx->framebuffer + y * __zq_gfx->pitch + x * 4, 4);
        return v;
    }
    static PixelSet having(uint32_t color) {
        PixelSet out;
        for (int i = 0; i < 64 * 48; ++i) {
            if (pixel(i % 64, i / 64) == color) out.insert({i % 64, i / 64});
        }
        return out;
    }
    // Sets every pixel to color and forgets the dirty rows.
    static void fill(uint32_t color) {
        for (int i = 0; i < 64 * 48; ++i) std::memcpy(__zq_gfx->framebuffer + i * 4, &color, 4);
        std::memset(__zq_gfx->dirty, 0, 48);
    }
    // The first and last dirty rows, {-1, -1} for none; false if one between is clean.
    static std::pair<int, int> dirty_rows() {
        std::pair<int, int> rows{-1, -1};
        for (int y = 0; y < __zq_gfx->height; ++y) {
            if (!__zq_gfx->dirty[y]) continue;
            if (rows.first >= 0 && rows.second != y - 1) return {-2, -2};
            rows = {rows.first < 0 ? y : rows.first, y};
        }
        return rows;
    }
    std::pair<float, float> last_point() const { return {ctx_->last_x, ctx_->last_y}; }

    GfxContext* ctx_ = nullptr;
    GfxDriver recorder_{};
    const GfxDriver* saved_driver_ = nullptr;
};

inline PixelSet rect(int x1, int y1, int x2, int y2) {
    PixelSet out;
    for (int y = y1; y <= y2; ++y) {
        for (int x = x1; x <= x2; ++x) out.insert({x, y});
    }
    return out;
}

// The one-pixel outline of rect(x1, y1, x2, y2).
inline PixelSet frame(int x1, int y1, int x2, int y2) {
    PixelSet out = rect(x1, y1, x2, y2);
    for (const Pixel& p : rect(x1 + 1, y1 + 1, x2 - 1, y2 - 1)) out.erase(p);
    return out;
}
