// The demo's frames on the Null driver: the batched fan against the plain one,
// and a fingerprint of the framebuffer after many frames from the unseeded
// generator that must be the same on every build (the arithmetic is x87
// extended precision on all of them).
#include <tuple>
#include <vector>

#include "demo/frame.h"
#include "demo/sector.h"
#include "gfx/gfx_test_util.h"
#include "runtime/rt_internal.h"

namespace {
class Demo : public testing::Test {
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
};
}  // namespace

TEST_F(Demo, TwoHundredFramesGiveTheSamePictureOnEveryBuild) {
    for (int i = 0; i < 200; ++i) DRAW_FRAME();
    EXPECT_EQ(fnv1a(__zq_gfx->framebuffer, size_t(__zq_gfx->height) * __zq_gfx->pitch),
              8452490790342619827ull);
}

// The batched fan against one zq_GfxLine call per line, sector by sector from
// the same picture, on the whole screen and in a view with its own origin.
TEST_F(Demo, BatchedSectorsMatchTheCallPerLineReference) {
    GfxContext* ctx = zq_hGetContext();
    uint8_t *fb = __zq_gfx->framebuffer, *dirty = __zq_gfx->dirty;
    const size_t bytes = size_t(__zq_gfx->height) * __zq_gfx->pitch, rows = __zq_gfx->height;
    std::vector<uint8_t> before, pixels[2], rows_marked[2];
    std::tuple<float, float, uint32_t, uint32_t> context[2];
    for (int view = 0; view < 2; ++view) {
        if (view) zq_GfxView(100, 50, 499, 399, 0xFF102030u, 0xFFFFFFFFu, 0);
        for (int i = 0; i < 100;) {
            const SectorParams p = DRAW_PARAMS();
            if (p.AEND < p.ASTART + 5) continue;
            ++i;
            before.assign(fb, fb + bytes);
            for (int path = 0; path < 2; ++path) {
                std::copy(before.begin(), before.end(), fb);
                std::fill_n(dirty, rows, 0);
                (path ? DRAW_SEGMENT : DRAW_SEGMENT_PLAIN)(p.X, p.Y, p.RADIUS, p.ASTART, p.AEND, 5,
                                                           p.RED, p.GREEN, p.BLUE);
                pixels[path].assign(fb, fb + bytes);
                rows_marked[path].assign(dirty, dirty + rows);
                context[path] = std::tuple(ctx->last_x, ctx->last_y, ctx->fg_color, ctx->bg_color);
            }
            ASSERT_TRUE(pixels[0] == pixels[1] && rows_marked[0] == rows_marked[1] &&
                        context[0] == context[1])
                << "view " << view << ", sector " << i;
        }
    }
}
