// The demo's pictures on the Null driver: frame 1's sector pixel by pixel at
// a few places, and a fingerprint of the framebuffer after many frames that
// must be the same on every build (the arithmetic is x87 extended precision
// on all of them).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/frame.h"
#include "demo/sector.h"
#include "gfx/gfx_internal.h"
#include "runtime/rt_internal.h"

namespace {
class DemoScreen : public testing::Test {
   protected:
    void SetUp() override {
        zq_hRndReset();
        __zq_gfx_driver_name = "null";
        OPEN_DEMO_SCREEN();
        ASSERT_NE(__zq_gfx, nullptr);
    }
    void TearDown() override {
        zq_GfxScreen(0, 0, 0, 0, 0);
        __zq_gfx_driver_name = nullptr;
        zq_hRndReset();
    }
    static uint32_t pixel(int x, int y) {
        return reinterpret_cast<const uint32_t*>(__zq_gfx->framebuffer + y * __zq_gfx->pitch)[x];
    }
    static uint64_t fingerprint() {
        uint64_t h = 0xcbf29ce484222325ull;  // FNV-1a over the whole framebuffer
        const uint8_t* p = __zq_gfx->framebuffer;
        for (int32_t i = 0; i < __zq_gfx->height * __zq_gfx->pitch; ++i)
            h = (h ^ p[i]) * 0x100000001b3ull;
        return h;
    }
    static int count(uint32_t color) {
        int n = 0;
        for (int i = 0; i < 640 * 480; ++i) n += pixel(i % 640, i / 640) == color;
        return n;
    }
};

constexpr uint32_t kFrame1Color = 0xFF885454;
constexpr uint32_t kBlack = 0xFF000000;  // the clear's opaque black
}  // namespace

TEST_F(DemoScreen, EmptySectorDrawsNothing) {
    DRAW_SEGMENT(320, 240, 100, 10, 14, 5, 1, 2, 3);
    EXPECT_EQ(count(kBlack), 640 * 480);
    DRAW_SEGMENT(320, 240, 0, 0, 360, 5, 1, 2, 3);  // radius 0: one pixel
    EXPECT_EQ(count(kBlack), 640 * 480 - 1);
    EXPECT_EQ(pixel(320, 240), 0xFF010203u);
}

TEST_F(DemoScreen, TwoHundredFramesGiveTheSamePictureOnEveryBuild) {
    for (int i = 0; i < 200; ++i) DRAW_FRAME();
    EXPECT_EQ(fingerprint(), 8452490790342619827ull);
}
