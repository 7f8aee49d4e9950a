// Lines: clipping against a reference, the pixel walk, style patterns,
// locking and dirty rows.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <tuple>

#include "recording_driver.h"

namespace {

using Quad = std::array<int32_t, 4>;
using Floats = std::array<float, 4>;

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr int32_t hi = std::numeric_limits<int32_t>::max();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

class LineTest : public RecordingScreenTest {
   protected:
    static PixelSet draw(float x1, float y1, float x2, float y2, uint32_t style = 0xFFFF) {
        fill(0);
        zq_GfxLine(nullptr, x1, y1, x2, y2, kRed, 0, style, 0);
        return having(kRed);
    }
    // Later coordinates are screen pixels, clipped to columns x1..x2, rows y1..y2.
    static void set_view(int x1, int y1, int x2, int y2) {
        zq_GfxView(x1, y1, x2, y2, 0, 0, 0x40000000 | static_cast<int32_t>(0x80000000u) | 1);
    }
};

// The clip written plainly from its definition, for endpoints whose pixels fit
// in int32: round half away from zero, then Cohen-Sutherland with an
// extended-precision slope and truncation toward zero.
bool reference_clip(const GfxContext& ctx, const Floats& p, Quad& out) {
    auto pixel = [](float v) {
        const long double w = v;
        return static_cast<int64_t>(w > 0 ? std::trunc(w + 0.5L) : std::trunc(w - 0.5L));
    };
    const bool absolute = ctx.flags & CTX_VIEW_ABSOLUTE;
    const int64_t dx = absolute ? 0 : ctx.view_x, dy = absolute ? 0 : ctx.view_y;
    int64_t x1 = pixel(p[0]) + dx, y1 = pixel(p[1]) + dy, x2 = pixel(p[2]) + dx,
            y2 = pixel(p[3]) + dy;
    const int64_t left = ctx.view_x, right = left + ctx.view_w - 1;
    const int64_t top = ctx.view_y, bottom = top + ctx.view_h - 1;
    auto code = [&](int64_t x, int64_t y) {
        return (x < left) | (x > right) << 1 | (y > bottom) << 2 | (y < top) << 3;
    };
    for (int pass = 0; pass < 100; ++pass) {
        int c1 = code(x1, y1);
        const int c2 = code(x2, y2);
        if ((c1 | c2) == 0) {
            out = {int32_t(x1), int32_t(y1), int32_t(x2), int32_t(y2)};
            return true;
        }
        if (c1 & c2) return false;
        if (c1 == 0) std::swap(x1, x2), std::swap(y1, y2), c1 = c2;
        const long double m = x1 == x2 ? 1.0L : (y2 - y1) / static_cast<long double>(x2 - x1);
        if (c1 & 3) {
            const int64_t edge = c1 & 1 ? left : right;
            y1 = static_cast<int64_t>(y1 + m * (edge - x1)), x1 = edge;
        } else {
            const int64_t edge = c1 & 8 ? top : bottom;
            if (x1 != x2) x1 = static_cast<int64_t>(x1 + (edge - y1) / m);
            y1 = edge;
        }
    }
    ADD_FAILURE() << "no end";
    return false;
}

// Whether every pixel of a has one of b at most one pixel away.
bool covered(const PixelSet& a, const PixelSet& b) {
    return std::all_of(a.begin(), a.end(), [&](const Pixel& p) {
        for (int d = 0; d < 9; ++d) {
            if (b.count({p.first + d % 3 - 1, p.second + d / 3 - 1})) return true;
        }
        return false;
    });
}

TEST(LineClip, ViewsWithoutAreaAndAtTheEndOfInt32) {
    const struct {
        Quad view, line, want;  // want {} : nothing visible
    } cases[] = {
        {{10, 10, 0, 20}, {0, 15, 40, 15}, {}},  // must end rather than loop
        {{10, 10, 20, 0}, {15, 0, 15, 40}, {}},
        {{hi - 10, hi - 10, 10, 10},
         {-hi - 1, -hi - 1, hi, hi},
         {hi - 1, hi - 1, hi - 10, hi - 10}},
    };
    for (const auto& [view, line, want] : cases) {
        GfxContext ctx{};
        ctx.view_x = view[0], ctx.view_y = view[1], ctx.view_w = view[2], ctx.view_h = view[3];
        Quad p = line;
        ASSERT_EQ(zq_hClipLine(&ctx, &p[0], &p[1], &p[2], &p[3]), want != Quad{});
        if (want != Quad{}) {
            EXPECT_EQ(p, want);
        }
    }
}

// Any line equals the reference's clipped line drawn by the plain walk from its
// first point, pattern phase included: on the screen with a view and in buffers
// of every pixel size, with translucent colours (blended on 32-bit targets).
TEST_F(LineTest, ClipsExactlyAndDrawsThePlainWalksPixels) {
    // Shortening such a line toward the view drew only (0, 29).
    EXPECT_EQ(draw(0.054f, 28.504f, -6581200, -31582100), (PixelSet{{0, 28}, {0, 29}}));
    __zq_gfx->flags |= SCREEN_ALPHA_PRIMITIVES;
    set_view(5, 3, 50, 40);
    std::mt19937_64 rng(77);
    auto coord = [&](int kind, float size) {  // far, whole, fractions, just below a half, rims
        constexpr float kScale[] = {2147483520.0f, 1e9f, 1e5f};
        const float rim[] = {0.49999997f, -0.49999997f, -0.5f,
                             0.5f,        size - 0.5f,  std::nextafter(size - 0.5f, 0.0f)};
        const float whole = float(int(rng() % uint32_t(size + 40)) - 20);
        std::uniform_real_distribution<float> d(-kScale[kind % 3], kScale[kind % 3]);
        // Through memory: the x87 unit would keep excess precision in a register.
        const volatile float v = kind < 3    ? std::min(d(rng), 2147483520.0f)
                                 : kind == 3 ? std::nextafter(whole + 0.5f, whole)
                                 : kind == 4 ? whole + float(rng() % 1000) / 1000.0f
                                 : kind == 5 ? rim[rng() % 6]
                                             : whole;
        return float{v};
    };
    for (int32_t bpp : {0, 1, 2, 4}) {  // 0: the screen
        std::vector<uint8_t> buffer = image_buffer(bpp, 70, 50, 70 * bpp);
        for (size_t i = 32; i < buffer.size(); ++i) buffer[i] = uint8_t(rng());
        void* target = bpp ? buffer.data() : nullptr;
        uint8_t* bytes = bpp ? buffer.data() : __zq_gfx->framebuffer;
        const size_t size = bpp ? buffer.size() : 64 * 48 * 4;
        // A buffer at the address of the last one counts as the same target:
        // pass by the screen, then prepare the target with a line outside it.
        zq_GfxLine(nullptr, -9, -9, -9, -9, 0, 0, 0xFFFF, 0);
        zq_GfxLine(target, -9, -9, -9, -9, 0, 0, 0xFFFF, 0);
        const float w = bpp ? 70 : 64, h = bpp ? 50 : 48;
        for (int i = 0; i < 6000; ++i) {
            const int near = int(rng() % 7), far = int(rng() % 7);
            const Floats p = {coord(near, w), coord(near, h), coord(far, w), coord(far, h)};
            const uint32_t color = rng() % 3 ? uint32_t(rng()) : 0xFF000000u | uint32_t(rng());
            const uint32_t style = rng() % 2 ? 0xFFFFu : uint32_t(rng());
            const std::vector<uint8_t> before(bytes, bytes + size);
            Quad c;
            if (reference_clip(*ctx_, p, c)) {
                zq_hGfxLinePlain(target, float(c[0]), float(c[1]), float(c[2]), float(c[3]), color,
                                 0, style, 0);
            }
            const std::vector<uint8_t> want(bytes, bytes + size);
            std::copy(before.begin(), before.end(), bytes);
            zq_GfxLine(target, p[0], p[1], p[2], p[3], color, 0, style, 0);
            ASSERT_TRUE(std::equal(want.begin(), want.end(), bytes))
                << bpp << " " << i << ": " << testing::PrintToString(p) << std::hex << " colour "
                << color << " style " << style;
        }
    }
}

// The k-th pixel from the first point (along the major axis) is drawn when
// bit 15 - k % 16 of the style is set.
TEST_F(LineTest, PatternStartsAtTheFirstPointInEveryDirection) {
    const int ends[][2] = {{63, 22}, {0, 22}, {31, 0}, {31, 47},
                           {31, 22}, {60, 5}, {2, 40}, {5, 2}};
    for (uint32_t style : {0xA5C3u, 0x8001u, 0x7FFFu, 0x1234FFFEu}) {
        for (const auto& [x, y] : ends) {
            SCOPED_TRACE(testing::PrintToString(std::tuple(style, x, y)));
            PixelSet want;
            for (const Pixel& p : draw(31, 22, float(x), float(y))) {
                const int k = std::max(std::abs(p.first - 31), std::abs(p.second - 22));
                if (style & (0x8000u >> (k % 16))) want.insert(p);
            }
            EXPECT_EQ(draw(31, 22, float(x), float(y), style), want);
        }
    }
    // Clipped: a cut-off second point is where drawing starts; positions cut
    // off before the first point use no pattern bits.
    set_view(10, 5, 40, 30);
    EXPECT_EQ(draw(20, 10, 60, 10, 0x8000), (PixelSet{{40, 10}, {24, 10}}));
    EXPECT_EQ(draw(0, 11, 30, 11, 0x8000), (PixelSet{{10, 11}, {26, 11}}));
}

// Each huge line is the short one drawn longer (clamping each axis alone would
// bend it), give or take rounding where an edge crossing lands on a whole pixel.
TEST_F(LineTest, HugeInfiniteAndNaNEndpointsKeepTheTrueDirection) {
    EXPECT_TRUE(draw(5, 5, kNaN, 20).empty());
    EXPECT_EQ(lock_log.locks, 0);
    set_view(1, 1, 62, 46);
    const PixelSet view = rect(1, 1, 62, 46);
    const float lines[][2][4] = {
        {{3, 7, 2e30f, 1e30f}, {3, 7, 4003, 2007}},
        {{5, 5, 3e9f, -3e9f}, {5, 5, 4005, -3995}},
        {{0, 0, 1e38f, 3e37f}, {0, 0, 10000, 3000}},
        {{40, 5, -1e30f, 1e30f}, {40, 5, -3960, 4005}},
        {{-1e30f, -5e29f, 1e30f, 5e29f}, {-4000, -2000, 4000, 2000}},
    };
    for (const auto& [huge, shorter] : lines) {
        SCOPED_TRACE(testing::PrintToString(huge));
        const PixelSet want = draw(shorter[0], shorter[1], shorter[2], shorter[3]);
        const PixelSet got = draw(huge[0], huge[1], huge[2], huge[3]);
        EXPECT_NEAR(double(got.size()), double(want.size()), 1.0);
        EXPECT_TRUE(covered(got, want) && covered(want, got));
        EXPECT_TRUE(std::includes(view.begin(), view.end(), got.begin(), got.end()));
    }
    EXPECT_EQ(draw(-kInf, 9, kInf, 9), rect(1, 9, 62, 9));
    EXPECT_EQ(draw(1e30f, 1e30f, -1e30f, -1e30f), draw(1, 1, 46, 46));
    EXPECT_TRUE(draw(-1e30f, -1e30f, 1e30f, -1e30f).empty());
}

TEST_F(LineTest, LocksOnlyWhenDrawingAndMarksTheVisibleScreenRows) {
    zq_GfxLine(nullptr, 3, 30, 50, 12, kRed, 0, 0x1111, 0);
    EXPECT_EQ(lock_log.locks, 1);
    EXPECT_TRUE(lock_log.paired());
    EXPECT_EQ(__zq_gfx->flags & (SCREEN_LOCKED | SCREEN_LOCK_SET), 0u);
    EXPECT_EQ(dirty_rows(), std::pair(12, 30));
    // Off the screen: no lock, no rows, yet the last point moves.
    fill(0);
    zq_GfxLine(nullptr, -10, 3, -20, 40, kRed, 0, 0xFFFF, 0);
    EXPECT_EQ(std::tuple(last_point(), lock_log.locks, dirty_rows()),
              std::tuple(std::pair(-20.0f, 40.0f), 1, std::pair(-1, -1)));
    // A lock the program holds is neither taken nor released.
    __zq_gfx->flags |= SCREEN_LOCKED;
    zq_GfxLine(nullptr, 1, 1, 9, 9, kRed, 0, 0xFFFF, 0);
    EXPECT_EQ(std::pair(lock_log.locks, lock_log.unlocks), std::pair(1, 1));
    EXPECT_NE(__zq_gfx->flags & SCREEN_LOCKED, 0u);
    __zq_gfx->flags &= ~SCREEN_LOCKED;
    // Drawing into an image buffer marks no screen rows.
    fill(0);
    std::vector<uint8_t> buffer = image_buffer(4, 20, 10, 80);
    zq_GfxLine(buffer.data(), -5, 2, 30, 2, kRed, 0, 0xFFFF, 0);
    EXPECT_EQ(std::pair(having(kRed).size(), dirty_rows()),
              std::pair(size_t{0}, std::pair(-1, -1)));
    zq_GfxLine(nullptr, 0, 47, 0, 47, kRed, 0, 0xFFFF, -1);  // the screen, in the foreground colour
    EXPECT_EQ(std::pair(pixel(0, 47), dirty_rows()), std::pair(0xFFFFFFFFu, std::pair(47, 47)));
    // Only the visible part of a clipped line marks rows.
    set_view(0, 10, 63, 20);
    fill(0);
    zq_GfxLine(nullptr, 5, 0, 5, 47, kRed, 0, 0xFFFF, 0);
    EXPECT_EQ(dirty_rows(), std::pair(10, 20));
}

// Relative forms (the low 3 bits of the flags): from the last point (10, 20),
// the points (1, 2) and (3, 4) become these; the second is the new last point.
TEST_F(LineTest, RelativeFormsMoveThePointsAndTheLastPoint) {
    const std::pair<int32_t, Floats> cases[] = {
        {0, {1, 2, 3, 4}},     {1, {1, 2, 4, 6}}, {2, {11, 22, 3, 4}},
        {3, {11, 22, 14, 26}}, {4, {1, 2, 3, 4}}, {5, {11, 22, 3, 4}},
        {6, {1, 2, 3, 4}},     {7, {1, 2, 3, 4}}, {8 + 3, {11, 22, 14, 26}}};
    for (const auto& [form, p] : cases) {
        const PixelSet want = draw(p[0], p[1], p[2], p[3]);
        ctx_->last_x = 10, ctx_->last_y = 20;
        fill(0);
        zq_GfxLine(nullptr, 1, 2, 3, 4, kRed, 0, 0xFFFF, form);
        EXPECT_EQ(std::pair(having(kRed), last_point()), std::pair(want, std::pair(p[2], p[3])))
            << form;
    }
    // With one point (as other statements pass it), that point becomes the last point.
    ctx_->last_x = 10, ctx_->last_y = 20;
    float x = 1, y = 2;
    zq_hFixRelative(ctx_, 3, &x, &y, nullptr, nullptr);
    EXPECT_EQ(std::pair(x, ctx_->last_y), std::pair(11.0f, 22.0f));
}

// Past 46340 major steps the fixed-point walk would put a pixel a row off;
// the error walk there must step on ties too (47000, 10 has one).
TEST_F(LineTest, LongLinesDrawThePlainWalksPixels) {
    for (const auto& [major, minor] :
         {std::pair(46340, 39), {46340, 17}, {47123, 33}, {47543, 12}, {47000, 10}}) {
        for (bool x_major : {true, false}) {
            const int32_t w = x_major ? major + 1 : minor + 1, h = x_major ? minor + 1 : major + 1;
            std::vector<uint8_t> plain = image_buffer(1, w, h, w), fast = plain;
            const float a = float(major), b = float(minor);
            const Floats p = x_major ? Floats{0, 0, a, b} : Floats{b, a, 0, 0};
            zq_GfxLine(nullptr, -9, -9, -9, -9, 0, 0, 0xFFFF, 0);  // a new target each time
            zq_hGfxLinePlain(plain.data(), p[0], p[1], p[2], p[3], 7, 0, 0xFFFF, 0);
            zq_GfxLine(nullptr, -9, -9, -9, -9, 0, 0, 0xFFFF, 0);
            zq_GfxLine(fast.data(), p[0], p[1], p[2], p[3], 7, 0, 0xFFFF, 0);
            ASSERT_TRUE(plain == fast) << major << " " << x_major;
        }
    }
}

}  // namespace
