// The drawing context: image-buffer targets, coordinate translation, alpha
// blending and the pixel routines (plain and MMX against a reference).
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "gfx_test_util.h"

namespace {

using ContextTest = NullScreenTest;
using Ints = std::vector<int32_t>;

Ints view(const GfxContext& c) {
    return {c.view_x, c.view_y, c.view_w, c.view_h};
}

TEST_F(ContextTest, BuffersBecomeTheTargetAndTheScreenViewComesBack) {
    GfxContext& ctx = context();
    ctx.view_x = 5, ctx.view_y = 6, ctx.view_w = 100, ctx.view_h = 50;
    std::vector<uint8_t> fresh = image_buffer(2, 20, 10, 48);
    zq_hPrepareTarget(&ctx, fresh.data(), 0xFFFFFFFF);
    EXPECT_EQ(view(ctx), (Ints{0, 0, 20, 10}));
    ctx.put_pixel(&ctx, 19, 9, 0x12345678);
    EXPECT_EQ(std::pair(fresh[32 + 9 * 48 + 38] | fresh[32 + 9 * 48 + 39] << 8,
                        ctx.get_pixel(&ctx, 19, 9)),
              std::pair(0x5678, 0x5678u));
    // The old form has the screen's pixel size; the low 3 bits of the width
    // word are not read.
    std::vector<uint8_t> old(4 + 9 * 3 * 4);
    const uint16_t header[2] = {(9 << 3) | 5, 3};
    std::memcpy(old.data(), header, sizeof header);
    zq_hPrepareTarget(&ctx, old.data(), 0xFFFFFFFF);
    EXPECT_EQ(view(ctx), (Ints{0, 0, 9, 3}));
    ctx.pixel_set(ctx.line[2], static_cast<int>(0xFFABCDEF), 9);  // the last row, to its end
    EXPECT_EQ(ctx.get_pixel(&ctx, 8, 2), 0xFFABCDEFu);
    zq_hPrepareTarget(&ctx, nullptr, 0xFF000000);
    EXPECT_EQ(view(ctx), (Ints{5, 6, 100, 50}));
    EXPECT_EQ(std::pair(ctx.line[479], ctx.target_pitch),
              std::pair(screen().pages[0] + 479 * 2560, 2560));
    // Tall or corrupt buffers stay in bounds.
    std::vector<uint8_t> tall = image_buffer(1, 2, 1000, 2);  // more rows than the screen
    zq_hPrepareTarget(&ctx, tall.data(), 0);
    ctx.put_pixel(&ctx, 1, 999, 0xAB);
    EXPECT_EQ(tall.back(), 0xAB);
    int32_t negative[8] = {7, 4, -5, -7, 16};
    zq_hPrepareTarget(&ctx, negative, 0);
    EXPECT_EQ(view(ctx), (Ints{0, 0, 0, 0}));
    // A pitch shorter than a row (or negative) would draw over the header.
    for (int32_t pitch : {4, -8}) {
        int32_t short_pitch[16] = {7, 4, 2, 2, pitch};
        zq_hPrepareTarget(&ctx, short_pitch, 0);
        EXPECT_EQ(view(ctx), (Ints{0, 0, 0, 0})) << pitch;
    }
    std::vector<uint8_t> odd_size = image_buffer(3, 2, 2, 8);
    zq_hPrepareTarget(&ctx, odd_size.data(), 0);
    EXPECT_EQ(ctx.target_bpp, 4);  // sizes other than 1 and 2 count as 4
}

std::pair<int32_t, int32_t> translate(GfxContext& ctx, float x, float y) {
    std::pair<int32_t, int32_t> t;
    zq_hTranslateCoord(&ctx, x, y, &t.first, &t.second);
    return t;
}

TEST_F(ContextTest, TranslationRoundsHalfAwayFromZeroAndClamps) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const int32_t limit = ZQ_COORD_LIMIT;
    const std::pair<float, int32_t> cases[] = {
        {2.5f, 3},      {0.4f, 0},    {1.5f, 2},     {0.49999997f, 0}, {8388607.5f, 8388608},
        {1e30f, limit}, {inf, limit}, {3e9f, limit}, {nan, 0}};
    GfxContext& ctx = context();
    for (auto [in, out] : cases) {  // y gets the negated value
        EXPECT_EQ(translate(ctx, in, -in), std::make_pair(out, std::isnan(in) ? 0 : -out)) << in;
    }
    // The view origin is added, but cannot push past the limit.
    ctx.view_x = 600, ctx.view_y = 400;
    EXPECT_EQ(translate(ctx, 1.0f, nan), std::make_pair(601, 400));
    EXPECT_EQ(translate(ctx, 1073741760.0f, 0), std::make_pair(limit, 400));
    ctx.flags |= CTX_VIEW_ABSOLUTE;
    EXPECT_EQ(translate(ctx, 1.0f, 2.0f), std::make_pair(1, 2));
    // A window maps, flips unless told not to, and survives zero width.
    ctx.flags = CTX_WINDOW_ON, ctx.view_x = ctx.view_y = 0, ctx.view_w = ctx.view_h = 100;
    ctx.map_x = 0, ctx.map_y = 0, ctx.map_w = 11, ctx.map_h = 11;
    EXPECT_EQ(translate(ctx, 5.0f, 0.0f), std::make_pair(50, 99));
    ctx.flags |= CTX_WINDOW_NOFLIP, ctx.map_w = 1;
    EXPECT_EQ(translate(ctx, 5.0f, 10.0f), std::make_pair(limit, 100));
    EXPECT_EQ(translate(ctx, 0.0f, 0.0f).first, 0);  // 0/0 counts as 0
}

uint32_t put_over(uint32_t dest, uint32_t color, const void* target = nullptr) {
    GfxContext& ctx = *zq_hGetContext();
    zq_hPrepareTarget(&ctx, nullptr, color);
    zq_hPutPixel4(&ctx, 0, 0, dest);
    if (target) zq_hPrepareTarget(&ctx, const_cast<void*>(target), color);
    ctx.put_pixel(&ctx, 0, 0, color);
    return ctx.get_pixel(&ctx, 0, 0);
}

TEST_F(ContextTest, TranslucentColoursBlendOnlyWithAlphaDrawing) {
    EXPECT_EQ(put_over(0xFF000000, 0x80FFFFFF), 0x80FFFFFFu);  // without it: solid
    __zq_gfx_driver_name = "null";  // by name, so that the flags keep their meaning
    ASSERT_EQ(zq_GfxScreen(18, 32, 1, DriverFlags::AlphaDrawing, 0), 0);
    __zq_gfx_driver_name = nullptr;
    ASSERT_TRUE(screen().flags & SCREEN_ALPHA_PRIMITIVES);
    EXPECT_EQ(put_over(0xFF000000, 0x80FFFFFF), 0x807F7F7Fu);  // blended
    EXPECT_EQ(put_over(0xFF123456, 0xFF654321), 0xFF654321u);
    EXPECT_EQ(context().pixel_set, zq_hPixelSetSolid);      // opaque runs take the plain fill
    std::vector<uint8_t> small = image_buffer(2, 4, 4, 8);  // 16-bit pixels have no alpha
    EXPECT_EQ(put_over(0, 0x80FFFFFF, small.data()), 0xFFFFu);
}

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

using FillFn = void* (*)(void*, int, size_t);

// A run of single-pixel puts, so that the put routines meet the same checks.
template <PutPixelFn Put>
void* put_each(void* dest, int color, size_t count) {
    GfxContext ctx{};
    auto* row = static_cast<uint8_t*>(dest);
    ctx.line = &row;
    for (size_t i = 0; i < count; ++i) Put(&ctx, int32_t(i), 0, uint32_t(color));
    return dest;
}
using ExpectFn = uint32_t (*)(uint32_t color, uint32_t dest);

TEST(PixelRoutines, FillsAndCopiesMatchTheReference) {
    std::mt19937 rng{20240607};
    // Counts around every unrolling boundary and across the long-run path.
    std::vector<size_t> counts;
    for (size_t n = 0; n <= 40; ++n) counts.push_back(n);
    for (size_t p = 64; p <= 2048; p *= 2) counts.insert(counts.end(), {p - 1, p, p + 1});
    struct Fill {
        FillFn plain, mmx;
        size_t unit;
        ExpectFn expected;
    };
    const ExpectFn solid = [](uint32_t color, uint32_t) { return color; };
    const FillFn byte_fill = [](void* d, int c, size_t n) { return std::memset(d, c, n); };
    const Fill fills[] = {
        {zq_hPixelSet4, zq_hPixelSet4MMX, 4, solid},
        {zq_hPixelSet2, zq_hPixelSet2MMX, 2, solid},
        {byte_fill, zq_hMemSetMMX, 1, solid},
        {zq_hPixelSetAlpha4, zq_hPixelSetAlpha4MMX, 4, reference_blend},
        {put_each<zq_hPutPixelAlpha4>, put_each<zq_hPutPixelAlpha4MMX>, 4, reference_blend}};
    for (size_t count : counts) {
        for (const Fill& f : fills) {
            // At every offset 0..7, the bytes around left alone.
            for (size_t offset = 0; offset < 8; ++offset) {
                SCOPED_TRACE(testing::Message()
                             << "unit " << f.unit << " count " << count << " offset " << offset);
                const std::vector<uint8_t> base = random_bytes(count * 4 + 16, rng());
                const uint32_t color = rng();
                std::vector<uint8_t> want = base;
                for (size_t i = offset; i < offset + count * f.unit; i += f.unit) {
                    uint32_t unit = 0;
                    std::memcpy(&unit, &base[i], f.unit);
                    unit = f.expected(color, unit);
                    std::memcpy(&want[i], &unit, f.unit);
                }
                for (FillFn fill : {f.plain, f.mmx}) {
                    std::vector<uint8_t> got = base;
                    EXPECT_EQ(fill(&got[offset], static_cast<int>(color), count), &got[offset]);
                    ASSERT_EQ(got, want);
                }
            }
        }
        for (size_t offset = 0; offset < 8; ++offset) {  // the MMX copy against memcpy
            std::vector<uint8_t> src = random_bytes(count + 16, rng());
            std::vector<uint8_t> a = random_bytes(count + 16, rng()), b = a;
            std::memcpy(a.data() + offset, src.data() + 7 - offset, count);
            EXPECT_EQ(zq_hMemCpyMMX(b.data() + offset, src.data() + 7 - offset, count),
                      b.data() + offset);
            ASSERT_EQ(a, b) << "count " << count << " offset " << offset;
        }
    }
}

}  // namespace
