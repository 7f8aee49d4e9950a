// The drawing context: set-up per screen, image-buffer targets, coordinate
// translation, relative coordinates, routine choice and the pixel routines
// (plain against MMX against a per-channel reference).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "gfx/gfx_internal.h"
#include "gfx_test_util.h"

namespace {

bool has_mmx() {
    return (zq_CpuDetect() & 0x800000) != 0;
}

// ---- Set-up per screen ----

using ContextTest = NullScreenTest;

TEST_F(ContextTest, NewScreenGivesFullViewAndDefaultColours) {
    struct Case {
        int32_t mode, depth;
        uint32_t fg, bg;
    };
    const Case cases[] = {{18, 32, 0xFFFFFFFF, 0xFF000000},
                          {18, 16, 0xFFFF, 0},
                          {13, 8, 15, 0},
                          {12, 0, 15, 0},
                          {1, 0, 3, 0},
                          {11, 0, 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " depth " << c.depth);
        ASSERT_EQ(zq_GfxScreen(c.mode, c.depth, 1, DriverFlags::NoDisplay, 0), 0);
        GfxContext& ctx = context();
        EXPECT_EQ(ctx.id, screen().id);
        EXPECT_EQ(ctx.view_x, 0);
        EXPECT_EQ(ctx.view_y, 0);
        EXPECT_EQ(ctx.view_w, screen().width);
        EXPECT_EQ(ctx.view_h, screen().height);
        EXPECT_EQ(ctx.fg_color, c.fg);
        EXPECT_EQ(ctx.bg_color, c.bg);
        EXPECT_EQ(ctx.target_bpp, screen().bpp);
        EXPECT_EQ(ctx.last_target, nullptr);
        EXPECT_EQ(ctx.flags, 0u);
        EXPECT_EQ(ctx.line[screen().height - 1],
                  screen().pages[0] + (screen().height - 1) * screen().pitch);
    }
}

TEST_F(ContextTest, NewScreenResetsViewColoursAndLastPoint) {
    GfxContext& ctx = context();
    ctx.view_x = 20;
    ctx.view_w = 10;
    ctx.fg_color = 3;
    ctx.last_x = 7;
    ctx.flags |= CTX_VIEW_ON;
    ASSERT_EQ(zq_GfxScreen(18, 32, 1, DriverFlags::NoDisplay, 0), 0);
    GfxContext& fresh = context();
    EXPECT_EQ(fresh.view_x, 0);
    EXPECT_EQ(fresh.view_w, 640);
    EXPECT_EQ(fresh.fg_color, 0xFFFFFFFFu);
    EXPECT_EQ(fresh.last_x, 0.0f);
    EXPECT_EQ(fresh.flags, 0u);
    // The same screen keeps whatever was changed.
    fresh.view_x = 5;
    EXPECT_EQ(context().view_x, 5);
}

// ---- Image buffers ----

std::vector<uint8_t> new_form(int32_t bpp, int32_t w, int32_t h, int32_t pitch) {
    std::vector<uint8_t> buf(32 + static_cast<size_t>(h) * pitch);
    const int32_t header[5] = {7, bpp, w, h, pitch};
    std::memcpy(buf.data(), header, sizeof header);
    return buf;
}

std::vector<uint8_t> old_form(int32_t w, int32_t h, int32_t bpp) {
    std::vector<uint8_t> buf(4 + static_cast<size_t>(w) * h * bpp);
    const uint16_t header[2] = {static_cast<uint16_t>((w << 3) | 5), static_cast<uint16_t>(h)};
    std::memcpy(buf.data(), header, sizeof header);
    return buf;
}

TEST_F(ContextTest, NewFormBufferBecomesTheTarget) {
    std::vector<uint8_t> buf = new_form(2, 20, 10, 48);
    GfxContext& ctx = context();
    zq_hPrepareTarget(&ctx, buf.data(), 0xFFFFFFFF);
    EXPECT_EQ(ctx.view_w, 20);
    EXPECT_EQ(ctx.view_h, 10);
    EXPECT_EQ(ctx.target_bpp, 2);
    EXPECT_EQ(ctx.target_pitch, 48);
    EXPECT_TRUE(ctx.flags & CTX_ON_BUFFER);
    EXPECT_EQ(ctx.line[9], buf.data() + 32 + 9 * 48);
    ctx.put_pixel(&ctx, 19, 9, 0x12345678);
    EXPECT_EQ(buf[32 + 9 * 48 + 38], 0x78);
    EXPECT_EQ(buf[32 + 9 * 48 + 39], 0x56);
    EXPECT_EQ(ctx.get_pixel(&ctx, 19, 9), 0x5678u);
}

TEST_F(ContextTest, OldFormBufferUsesTheScreenPixelSize) {
    std::vector<uint8_t> buf = old_form(9, 3, 4);
    GfxContext& ctx = context();
    zq_hPrepareTarget(&ctx, buf.data(), 0xFFFFFFFF);
    EXPECT_EQ(ctx.view_w, 9);  // the low 3 bits of the width word are not read
    EXPECT_EQ(ctx.view_h, 3);
    EXPECT_EQ(ctx.target_bpp, 4);
    EXPECT_EQ(ctx.target_pitch, 36);
    EXPECT_EQ(ctx.line[2], buf.data() + 4 + 72);
    ctx.pixel_set(ctx.line[2], static_cast<int>(0xFFABCDEF), 9);
    EXPECT_EQ(ctx.get_pixel(&ctx, 8, 2), 0xFFABCDEFu);
    EXPECT_EQ(buf.size(), 4u + 108u);  // the fill stayed inside (checked by the sanitizer build)
}

TEST_F(ContextTest, ScreenViewComesBackAfterBuffers) {
    GfxContext& ctx = context();
    ctx.view_x = 5, ctx.view_y = 6, ctx.view_w = 100, ctx.view_h = 50;
    std::vector<uint8_t> a = new_form(4, 8, 8, 32), b = old_form(4, 4, 4);
    zq_hPrepareTarget(&ctx, a.data(), 0xFF000000);
    zq_hPrepareTarget(&ctx, b.data(), 0xFF000000);
    EXPECT_EQ(ctx.view_w, 4);
    zq_hPrepareTarget(&ctx, nullptr, 0xFF000000);
    EXPECT_EQ(ctx.view_x, 5);
    EXPECT_EQ(ctx.view_y, 6);
    EXPECT_EQ(ctx.view_w, 100);
    EXPECT_EQ(ctx.view_h, 50);
    EXPECT_EQ(ctx.line[0], screen().pages[0]);
    EXPECT_EQ(ctx.target_bpp, 4);
    EXPECT_EQ(ctx.target_pitch, 2560);
    EXPECT_FALSE(ctx.flags & (CTX_ON_BUFFER | CTX_FRESH));
}

TEST_F(ContextTest, SameBufferTwiceKeepsItsChangedView) {
    GfxContext& ctx = context();
    std::vector<uint8_t> buf = new_form(4, 30, 20, 120);
    zq_hPrepareTarget(&ctx, buf.data(), 0xFF000000);
    ctx.view_x = 3, ctx.view_w = 10;
    zq_hPrepareTarget(&ctx, buf.data(), 0xFF000000);
    EXPECT_EQ(ctx.view_x, 3);
    EXPECT_EQ(ctx.view_w, 10);
    // Likewise the screen: a null target on the screen rebuilds nothing.
    zq_hPrepareTarget(&ctx, nullptr, 0xFF000000);
    ctx.view_y = 7;
    zq_hPrepareTarget(&ctx, nullptr, 0xFF000000);
    EXPECT_EQ(ctx.view_y, 7);
}

TEST_F(ContextTest, TallBufferGrowsTheRowTable) {
    std::vector<uint8_t> buf = new_form(1, 2, 1000, 2);
    GfxContext& ctx = context();
    zq_hPrepareTarget(&ctx, buf.data(), 0);
    EXPECT_GE(ctx.line_capacity, 1000);
    ctx.put_pixel(&ctx, 1, 999, 0xAB);
    EXPECT_EQ(buf.back(), 0xAB);
    zq_hPrepareTarget(&ctx, nullptr, 0);
    EXPECT_EQ(ctx.line[479], screen().pages[0] + 479 * 2560);
}

TEST_F(ContextTest, CorruptBufferHeaderGivesAnEmptyOrValidTarget) {
    GfxContext& ctx = context();
    int32_t negative[8] = {7, 4, -5, -7, 16};
    zq_hPrepareTarget(&ctx, negative, 0);
    EXPECT_EQ(ctx.view_w, 0);
    EXPECT_EQ(ctx.view_h, 0);
    std::vector<uint8_t> odd_size = new_form(3, 2, 2, 8);
    zq_hPrepareTarget(&ctx, odd_size.data(), 0);
    EXPECT_EQ(ctx.target_bpp, 4);  // sizes other than 1 and 2 count as 4
}

// ---- Coordinates ----

struct Translated {
    int32_t x, y;
};

Translated translate(GfxContext& ctx, float x, float y) {
    Translated t{};
    zq_hTranslateCoord(&ctx, x, y, &t.x, &t.y);
    return t;
}

TEST_F(ContextTest, TranslationRoundsHalfAwayFromZero) {
    GfxContext& ctx = context();
    const float in[] = {2.5f, -2.5f, 0.4f,        -0.4f,        0.0f,
                        1.5f, -1.5f, 0.49999997f, -0.49999997f, 8388607.5f};
    const int32_t out[] = {3, -3, 0, 0, 0, 2, -2, 0, 0, 8388608};
    for (size_t i = 0; i < std::size(in); ++i) {
        EXPECT_EQ(translate(ctx, in[i], -in[i]).x, out[i]) << in[i];
        EXPECT_EQ(translate(ctx, in[i], -in[i]).y, -out[i]) << in[i];
    }
}

TEST_F(ContextTest, TranslationAddsTheViewOriginUnlessAbsolute) {
    GfxContext& ctx = context();
    ctx.view_x = 100, ctx.view_y = 50;
    EXPECT_EQ(translate(ctx, 1.0f, 2.0f).x, 101);
    EXPECT_EQ(translate(ctx, 1.0f, 2.0f).y, 52);
    ctx.flags |= CTX_VIEW_ABSOLUTE;
    EXPECT_EQ(translate(ctx, 1.0f, 2.0f).x, 1);
    EXPECT_EQ(translate(ctx, 1.0f, 2.0f).y, 2);
}

TEST_F(ContextTest, HugeAndNaNCoordinatesStayWithinTheLimit) {
    GfxContext& ctx = context();
    ctx.view_x = 600, ctx.view_y = 400;
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(translate(ctx, 1e30f, -1e30f).x, ZQ_COORD_LIMIT);
    EXPECT_EQ(translate(ctx, 1e30f, -1e30f).y, -ZQ_COORD_LIMIT);
    EXPECT_EQ(translate(ctx, inf, -inf).x, ZQ_COORD_LIMIT);
    EXPECT_EQ(translate(ctx, inf, -inf).y, -ZQ_COORD_LIMIT);
    EXPECT_EQ(translate(ctx, 3e9f, -3e9f).x, ZQ_COORD_LIMIT);
    EXPECT_EQ(translate(ctx, 3e9f, -3e9f).y, -ZQ_COORD_LIMIT);
    // NaN counts as 0 (then the view origin is added).
    EXPECT_EQ(translate(ctx, nan, nan).x, 600);
    EXPECT_EQ(translate(ctx, nan, nan).y, 400);
    // Just inside the limit, the view origin still cannot push it beyond.
    EXPECT_EQ(translate(ctx, 1073741760.0f, 0).x, ZQ_COORD_LIMIT);
}

TEST_F(ContextTest, WindowMappingScalesAndFlips) {
    GfxContext& ctx = context();
    ctx.flags |= CTX_WINDOW_ON;
    ctx.view_w = 100, ctx.view_h = 100;
    ctx.map_x = 0, ctx.map_y = 0, ctx.map_w = 11, ctx.map_h = 11;
    EXPECT_EQ(translate(ctx, 5.0f, 0.0f).x, 50);
    EXPECT_EQ(translate(ctx, 5.0f, 0.0f).y, 99);
    ctx.flags |= CTX_WINDOW_NOFLIP;
    EXPECT_EQ(translate(ctx, 5.0f, 10.0f).y, 100);
    // A degenerate window divides by zero: clamped, not undefined.
    ctx.map_w = 1;
    EXPECT_EQ(translate(ctx, 5.0f, 0.0f).x, ZQ_COORD_LIMIT);
    EXPECT_EQ(translate(ctx, 0.0f, 0.0f).x, 0);  // 0/0 is NaN
}

TEST_F(ContextTest, RelativeFormsMoveThePointsAndTheLastPoint) {
    struct Case {
        int32_t form;
        float x1, y1, x2, y2;
    };
    // Start: last point (10, 20), first (1, 2), second (3, 4).
    const Case cases[] = {
        {0, 1, 2, 3, 4},     {1, 1, 2, 4, 6}, {2, 11, 22, 3, 4},
        {3, 11, 22, 14, 26}, {4, 1, 2, 3, 4}, {5, 11, 22, 3, 4},
        {6, 1, 2, 3, 4},     {7, 1, 2, 3, 4}, {8 + 3, 11, 22, 14, 26},  // only the low 3 bits count
    };
    GfxContext& ctx = context();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        ctx.last_x = 10, ctx.last_y = 20;
        float x1 = 1, y1 = 2, x2 = 3, y2 = 4;
        zq_hFixRelative(&ctx, c.form, &x1, &y1, &x2, &y2);
        EXPECT_EQ(x1, c.x1);
        EXPECT_EQ(y1, c.y1);
        EXPECT_EQ(x2, c.x2);
        EXPECT_EQ(y2, c.y2);
        EXPECT_EQ(ctx.last_x, c.x2);
        EXPECT_EQ(ctx.last_y, c.y2);
    }
    // With one point, that point becomes the last point.
    ctx.last_x = 10, ctx.last_y = 20;
    float x = 1, y = 2;
    zq_hFixRelative(&ctx, 3, &x, &y, nullptr, nullptr);
    EXPECT_EQ(x, 11);
    EXPECT_EQ(ctx.last_y, 22);
}

// ---- Routine choice ----

TEST_F(ContextTest, RoutinesFollowThePixelSize) {
    zq_hSetupFuncs(1);
    EXPECT_EQ(zq_hPixelSetSolid, zq_hMemSet);
    EXPECT_EQ(zq_hPixelCpy, zq_hMemCpy);
    EXPECT_EQ(zq_hGetPixel, zq_hGetPixel1);
    EXPECT_EQ(zq_hPutPixelSolid, zq_hPutPixel1);
    zq_hSetupFuncs(2);
    EXPECT_EQ(zq_hPixelCpy, zq_hPixelCpy2);
    EXPECT_EQ(zq_hPutPixelAlpha, zq_hPutPixel2);
    EXPECT_EQ(zq_hPixelSetSolid, has_mmx() ? zq_hPixelSet2MMX : zq_hPixelSet2);
    zq_hSetupFuncs(3);  // counts as 4
    EXPECT_EQ(zq_hGetPixel, zq_hGetPixel4);
    EXPECT_EQ(zq_hPixelSet, has_mmx() ? zq_hPixelSet4MMX : zq_hPixelSet4);
    EXPECT_EQ(zq_hPutPixelAlpha, zq_hPutPixel4);  // no alpha on this screen
    if (has_mmx()) {
        EXPECT_EQ(zq_hMemSet, zq_hMemSetMMX);
    }
    EXPECT_EQ((screen().flags & SCREEN_HAS_MMX) != 0, has_mmx());
}

TEST_F(ContextTest, WithoutAlphaDrawingEveryColourIsSolid) {
    GfxContext& ctx = context();
    zq_hPrepareTarget(&ctx, nullptr, 0x80FFFFFF);
    EXPECT_EQ(ctx.put_pixel, zq_hPutPixelSolid);
    ctx.put_pixel(&ctx, 0, 0, 0x80FFFFFF);
    EXPECT_EQ(ctx.get_pixel(&ctx, 0, 0), 0x80FFFFFFu);
}

// A 32-bit screen with alpha drawing on the Null driver ("null" by name, so
// that the flags keep their meaning).
class AlphaContextTest : public NullScreenTest {
   protected:
    int32_t open_screen() override {
        __zq_gfx_driver_name = "null";
        int32_t r = zq_GfxScreen(18, 32, 1, DriverFlags::AlphaDrawing, 0);
        __zq_gfx_driver_name = nullptr;
        return r;
    }

    uint32_t blend_at_origin(uint32_t dest, uint32_t color) {
        GfxContext& ctx = context();
        zq_hPrepareTarget(&ctx, nullptr, color);
        zq_hPutPixel4(&ctx, 0, 0, dest);
        ctx.put_pixel(&ctx, 0, 0, color);
        return ctx.get_pixel(&ctx, 0, 0);
    }
};

TEST_F(AlphaContextTest, TranslucentColoursBlend) {
    ASSERT_TRUE(screen().flags & SCREEN_ALPHA_PRIMITIVES);
    EXPECT_EQ(zq_hPutPixelAlpha, has_mmx() ? zq_hPutPixelAlpha4MMX : zq_hPutPixelAlpha4);
    EXPECT_EQ(blend_at_origin(0xFF000000, 0x80FFFFFF), 0x807F7F7Fu);
    EXPECT_EQ(blend_at_origin(0xFF123456, 0x00ABCDEF), 0x00123456u);
    EXPECT_EQ(blend_at_origin(0xFF000000, 0xFEFFFFFF), 0xFEFDFDFDu);
    EXPECT_EQ(context().pixel_set, zq_hPixelSetAlpha);
}

TEST_F(AlphaContextTest, OpaqueColoursAndSmallerPixelsAreSolid) {
    EXPECT_EQ(blend_at_origin(0xFF123456, 0xFF654321), 0xFF654321u);
    EXPECT_EQ(context().put_pixel, zq_hPutPixelSolid);
    std::vector<uint8_t> buf = new_form(2, 4, 4, 8);
    GfxContext& ctx = context();
    zq_hPrepareTarget(&ctx, buf.data(), 0x80FFFFFF);
    EXPECT_EQ(ctx.put_pixel, zq_hPutPixel2);
}

// ---- Pixel routines: plain, MMX and a per-channel reference ----

uint32_t reference_blend(uint32_t s, uint32_t d) {
    int32_t a = static_cast<int32_t>(s >> 24);
    uint32_t out = s & 0xFF000000;
    for (int shift : {0, 8, 16}) {
        int32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
        int32_t moved = dc + (((sc - dc) * a) >> 8);  // arithmetic shift: floor
        out |= static_cast<uint32_t>(moved) << shift;
    }
    return out;
}

class PixelRoutines : public ::testing::Test {
   protected:
    std::mt19937 rng{20240607};

    std::vector<uint8_t> random_bytes(size_t n) {
        std::vector<uint8_t> v(n);
        for (uint8_t& b : v) b = static_cast<uint8_t>(rng());
        return v;
    }

    // Counts around every unrolling boundary and across the long-run path.
    static std::vector<size_t> counts() {
        std::vector<size_t> c;
        for (size_t n = 0; n <= 40; ++n) c.push_back(n);
        for (size_t n : {63, 64, 65, 127, 128, 129, 255, 256, 257, 511, 512, 513, 1023, 1024, 1025,
                         2047, 3001}) {
            c.push_back(n);
        }
        return c;
    }
};

using FillFn = void* (*)(void*, int, size_t);

void expect_same_fill(std::mt19937& rng, std::vector<uint8_t> base, FillFn plain, FillFn mmx,
                      size_t unit, size_t count) {
    for (size_t offset = 0; offset < 8; ++offset) {
        int color = static_cast<int>(rng());
        std::vector<uint8_t> a = base, b = base;
        EXPECT_EQ(plain(a.data() + offset, color, count), a.data() + offset);
        EXPECT_EQ(mmx(b.data() + offset, color, count), b.data() + offset);
        ASSERT_EQ(a, b) << "count " << count << " offset " << offset;
        ASSERT_LE(offset + count * unit, base.size());
    }
}

TEST_F(PixelRoutines, MmxFillsEqualPlainFills) {
    for (size_t count : counts()) {
        std::vector<uint8_t> base = random_bytes(count * 4 + 16);
        expect_same_fill(rng, base, zq_hPixelSet4, zq_hPixelSet4MMX, 4, count);
        expect_same_fill(rng, base, zq_hPixelSet2, zq_hPixelSet2MMX, 2, count);
        expect_same_fill(
            rng, base, [](void* d, int c, size_t n) { return std::memset(d, c, n); }, zq_hMemSetMMX,
            1, count);
        expect_same_fill(rng, base, zq_hPixelSetAlpha4, zq_hPixelSetAlpha4MMX, 4, count);
    }
}

TEST_F(PixelRoutines, PlainFillsStoreTheColour) {
    for (size_t count : {size_t{3}, size_t{300}, size_t{700}}) {
        std::vector<uint8_t> buf(count * 4 + 2, 0xEE);
        zq_hPixelSet4(buf.data() + 1, 0x11223344, count);
        uint32_t last;
        std::memcpy(&last, buf.data() + 1 + (count - 1) * 4, 4);
        EXPECT_EQ(last, 0x11223344u);
        EXPECT_EQ(buf.front(), 0xEE);
        EXPECT_EQ(buf.back(), 0xEE);
        zq_hPixelSet2(buf.data() + 1, 0xABCD, count);
        EXPECT_EQ(buf[1 + (count - 1) * 2], 0xCD);
        EXPECT_EQ(buf[2 + (count - 1) * 2], 0xAB);
    }
}

TEST_F(PixelRoutines, MmxCopyEqualsMemcpy) {
    for (size_t count : counts()) {
        for (size_t offset = 0; offset < 8; ++offset) {
            std::vector<uint8_t> src = random_bytes(count + 16);
            std::vector<uint8_t> a = random_bytes(count + 16), b = a;
            std::memcpy(a.data() + offset, src.data() + 7 - offset % 8, count);
            EXPECT_EQ(zq_hMemCpyMMX(b.data() + offset, src.data() + 7 - offset % 8, count),
                      b.data() + offset);
            ASSERT_EQ(a, b) << "count " << count << " offset " << offset;
        }
    }
}

TEST_F(PixelRoutines, BlendsEqualThePerChannelResult) {
    GfxContext ctx{};
    uint8_t pixel[4];
    uint8_t* rows[1] = {pixel};
    ctx.line = rows;
    for (int i = 0; i < 200000; ++i) {
        uint32_t s = rng(), d = rng();
        if (i < 256) s = (s & 0x00FFFFFF) | (static_cast<uint32_t>(i) << 24);  // every alpha
        uint32_t expected = reference_blend(s, d);
        std::memcpy(pixel, &d, 4);
        zq_hPutPixelAlpha4(&ctx, 0, 0, s);
        ASSERT_EQ(zq_hGetPixel4(&ctx, 0, 0), expected) << std::hex << s << " over " << d;
        std::memcpy(pixel, &d, 4);
        zq_hPutPixelAlpha4MMX(&ctx, 0, 0, s);
        ASSERT_EQ(zq_hGetPixel4(&ctx, 0, 0), expected) << std::hex << s << " over " << d;
    }
}

TEST_F(PixelRoutines, RunBlendsEqualThePerChannelResult) {
    std::vector<uint8_t> base = random_bytes(4 * 37 + 3);
    for (uint32_t a : {0u, 1u, 0x7Fu, 0x80u, 0xFEu}) {
        uint32_t s = (a << 24) | (rng() & 0x00FFFFFF);
        std::vector<uint8_t> buf = base;
        zq_hPixelSetAlpha4MMX(buf.data() + 3, static_cast<int>(s), 37);
        for (size_t i = 0; i < 37; ++i) {
            uint32_t d, got;
            std::memcpy(&d, base.data() + 3 + 4 * i, 4);
            std::memcpy(&got, buf.data() + 3 + 4 * i, 4);
            ASSERT_EQ(got, reference_blend(s, d)) << "alpha " << a << " pixel " << i;
        }
    }
}

}  // namespace
