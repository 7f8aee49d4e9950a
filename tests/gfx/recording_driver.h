// A 64 x 48 screen without a display whose driver records its lock calls, and
// ways to read the framebuffer back as pixel sets and dirty rows.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "gfx/gfx_internal.h"

using Pixel = std::pair<int, int>;
using PixelSet = std::set<Pixel>;

struct LockLog {
    int locks = 0;
    int unlocks = 0;
    bool nested = false;  // locked again before the previous unlock
    bool paired() const { return locks == unlocks && !nested; }
};
inline LockLog lock_log;

class RecordingScreenTest : public ::testing::Test {
   protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(open(32)); }
    void TearDown() override { close(); }

    void open(int depth) {
        ASSERT_EQ(zq_GfxScreenRes(64, 48, depth, 0, -1, 0), 0);
        saved_driver_ = __zq_gfx->driver;
        recorder_ = *saved_driver_;
        recorder_.lock = [] {
            lock_log.nested |= lock_log.locks != lock_log.unlocks;
            ++lock_log.locks;
        };
        recorder_.unlock = [] { ++lock_log.unlocks; };
        __zq_gfx->driver = &recorder_;
        lock_log = LockLog{};
        ctx_ = zq_hGetContext();
    }
    void close() {
        zq_ConsoleSetTopBotRows(-1, -1);
        if (!__zq_gfx) return;
        __zq_gfx->driver = saved_driver_;
        zq_GfxScreen(0, 0, 0, 0, 0);
    }

    // The rest assume 32-bit pixels.
    static uint8_t* at(int x, int y) { return __zq_gfx->framebuffer + y * __zq_gfx->pitch + x * 4; }
    static uint32_t pixel(int x, int y) {
        uint32_t v;
        std::memcpy(&v, at(x, y), 4);
        return v;
    }
    static PixelSet having(uint32_t color) {
        PixelSet out;
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x) {
                if (pixel(x, y) == color) out.insert({x, y});
            }
        }
        return out;
    }
    // Sets every pixel to color and forgets the dirty rows.
    static void fill(uint32_t color) {
        for (int i = 0; i < 64 * 48; ++i) std::memcpy(at(i % 64, i / 64), &color, 4);
        std::memset(__zq_gfx->dirty, 0, 48);
    }
    static std::vector<int> dirty_rows() {
        std::vector<int> rows;
        for (int y = 0; y < 48; ++y) {
            if (__zq_gfx->dirty[y]) rows.push_back(y);
        }
        return rows;
    }

    static std::pair<int, int> cursor() { return {__zq_gfx->cursor_x, __zq_gfx->cursor_y}; }
    std::pair<float, float> last_point() const { return {ctx_->last_x, ctx_->last_y}; }
    std::vector<int32_t> view() const {
        return {ctx_->view_x, ctx_->view_y, ctx_->view_w, ctx_->view_h};
    }

    GfxContext* ctx_ = nullptr;
    GfxDriver recorder_{};
    const GfxDriver* saved_driver_ = nullptr;
};

inline std::vector<int> range(int first, int last) {
    std::vector<int> out;
    for (int i = first; i <= last; ++i) out.push_back(i);
    return out;
}

inline PixelSet rect(int x1, int y1, int x2, int y2) {
    PixelSet out;
    for (int y = y1; y <= y2; ++y) {
        for (int x = x1; x <= x2; ++x) out.insert({x, y});
    }
    return out;
}

inline PixelSet unite(PixelSet a, const PixelSet& b) {
    a.insert(b.begin(), b.end());
    return a;
}

// The one-pixel outline of rect(x1, y1, x2, y2).
inline PixelSet frame(int x1, int y1, int x2, int y2) {
    PixelSet out = rect(x1, y1, x2, y2);
    for (const Pixel& p : rect(x1 + 1, y1 + 1, x2 - 1, y2 - 1)) out.erase(p);
    return out;
}
