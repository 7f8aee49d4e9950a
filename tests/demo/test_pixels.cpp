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

TEST_F(DemoScreen, FirstFrameIsOneSectorFrom231To271Degrees) {
    EXPECT_EQ((std::vector<int32_t>{__zq_gfx->width, __zq_gfx->height, __zq_gfx->depth}),
              (std::vector<int32_t>{640, 480, 32}));
    EXPECT_EQ(count(kBlack), 640 * 480);  // opened cleared
    DRAW_FRAME();
    EXPECT_EQ(pixel(621, 142), kFrame1Color);  // the centre
    auto at = [](double degrees, double r, int* x, int* y) {
        double a = degrees * 3.14159265358979 / 180.0;
        *x = static_cast<int>(std::lround(621 + std::cos(a) * r));
        *y = static_cast<int>(std::lround(142 + std::sin(a) * r));
    };
    int x = 0, y = 0;
    for (double deg : {235.0, 251.0, 268.0}) {  // inside the fan
        at(deg, 120, &x, &y);
        EXPECT_EQ(pixel(x, y), kFrame1Color) << deg;
    }
    for (double deg : {228.0, 274.0, 90.0, 180.0}) {  // outside it
        at(deg, 120, &x, &y);
        ASSERT_TRUE(x >= 0 && x < 640 && y >= 0 && y < 480);
        EXPECT_EQ(pixel(x, y), kBlack) << deg;
    }
    EXPECT_EQ(count(kBlack) + count(kFrame1Color), 640 * 480);
}

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
