// Lines: clipping, the Bresenham walk, style patterns, locking and dirty rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "gfx/gfx_internal.h"

namespace {

using Pixel = std::pair<int, int>;
using PixelSet = std::set<Pixel>;

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr int32_t kNoBorderNoFill = 0x40000000 | static_cast<int32_t>(0x80000000u);

// Counts the driver's lock calls and checks they pair up.
struct LockLog {
    int locks = 0;
    int unlocks = 0;
    bool nested = false;
};
LockLog lock_log;
void record_lock() {
    lock_log.nested |= lock_log.locks != lock_log.unlocks;
    ++lock_log.locks;
}
void record_unlock() {
    ++lock_log.unlocks;
}

class LineTest : public ::testing::Test {
   protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(open(64, 48)); }
    void TearDown() override { close(); }

    void open(int w, int h, int depth = 32) {
        ASSERT_EQ(zq_GfxScreenRes(w, h, depth, 0, -1, 0), 0);
        saved_driver_ = __zq_gfx->driver;
        recorder_ = *saved_driver_;
        recorder_.lock = record_lock;
        recorder_.unlock = record_unlock;
        __zq_gfx->driver = &recorder_;
        lock_log = LockLog{};
        zq_hGetContext();
    }
    void close() {
        if (!__zq_gfx) return;
        __zq_gfx->driver = saved_driver_;
        zq_GfxScreen(0, 0, 0, 0, 0);
    }

    static uint32_t pixel(int x, int y) {
        uint32_t v;
        std::memcpy(&v, __zq_gfx->framebuffer + y * __zq_gfx->pitch + x * 4, 4);
        return v;
    }
    static PixelSet lit() {
        PixelSet out;
        for (int y = 0; y < __zq_gfx->height; ++y) {
            for (int x = 0; x < __zq_gfx->width; ++x) {
                if (pixel(x, y)) out.insert({x, y});
            }
        }
        return out;
    }
    // Whether any pixel outside columns x1..x2, rows y1..y2 is set.
    static bool written_outside(int x1, int y1, int x2, int y2) {
        for (int y = 0; y < __zq_gfx->height; ++y) {
            for (int x = 0; x < __zq_gfx->width; ++x) {
                const bool in = x >= x1 && x <= x2 && y >= y1 && y <= y2;
                if (!in && pixel(x, y)) return true;
            }
        }
        return false;
    }
    static void wipe() {
        std::memset(__zq_gfx->framebuffer, 0, size_t(__zq_gfx->height) * __zq_gfx->pitch);
        std::memset(__zq_gfx->dirty, 0, size_t(__zq_gfx->height));
    }
    static std::vector<int> dirty_rows() {
        std::vector<int> rows;
        for (int y = 0; y < __zq_gfx->height; ++y) {
            if (__zq_gfx->dirty[y]) rows.push_back(y);
        }
        return rows;
    }
    static PixelSet draw(float x1, float y1, float x2, float y2, uint32_t style = 0xFFFF) {
        wipe();
        zq_GfxLine(nullptr, x1, y1, x2, y2, kRed, 0, style, 0);
        return lit();
    }
    // Later coordinates are screen pixels, clipped to columns x1..x2, rows y1..y2.
    static void set_view(int x1, int y1, int x2, int y2) {
        zq_GfxView(x1, y1, x2, y2, 0, 0, kNoBorderNoFill | 1);
    }

    GfxDriver recorder_{};
    const GfxDriver* saved_driver_ = nullptr;
};

PixelSet row_run(int y, int x1, int x2) {
    PixelSet out;
    for (int x = x1; x <= x2; ++x) out.insert({x, y});
    return out;
}

// The pattern rule: the k-th pixel from the first point (k counted along the
// major axis, which steps once per pixel) is drawn when bit 15 - k % 16 is set.
PixelSet apply_pattern(const PixelSet& solid, Pixel first, uint32_t style) {
    PixelSet out;
    for (const Pixel& p : solid) {
        const int k = std::max(std::abs(p.first - first.first), std::abs(p.second - first.second));
        if (style & (0x8000u >> (k % 16))) out.insert(p);
    }
    return out;
}

GfxContext view_context(int32_t x, int32_t y, int32_t w, int32_t h) {
    GfxContext ctx{};
    ctx.view_x = x;
    ctx.view_y = y;
    ctx.view_w = w;
    ctx.view_h = h;
    return ctx;
}

struct Clipped {
    bool visible;
    int32_t x1, y1, x2, y2;
};

Clipped clip(const GfxContext& ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    Clipped c{false, x1, y1, x2, y2};
    c.visible = zq_hClipLine(&ctx, &c.x1, &c.y1, &c.x2, &c.y2);
    return c;
}

// Distance of p from the infinite line through a and b.
long double distance_to_line(long double px, long double py, long double ax, long double ay,
                             long double bx, long double by) {
    const long double dx = bx - ax, dy = by - ay;
    const long double len = std::sqrt(dx * dx + dy * dy);
    if (len == 0) return std::hypot(px - ax, py - ay);
    return std::fabs((px - ax) * dy - (py - ay) * dx) / len;
}

// Whether the exact segment reaches the rectangle (Liang-Barsky, extended).
bool segment_meets(long double x1, long double y1, long double x2, long double y2, long double left,
                   long double top, long double right, long double bottom) {
    if (left > right || top > bottom) return false;
    const long double dx = x2 - x1, dy = y2 - y1;
    const long double p[4] = {-dx, dx, -dy, dy};
    const long double q[4] = {x1 - left, right - x1, y1 - top, bottom - y1};
    long double t0 = 0, t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const long double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        if (p[i] > 0) t1 = std::min(t1, t);
    }
    return t0 <= t1;
}

bool inside(const GfxContext& ctx, int64_t x, int64_t y) {
    return x >= ctx.view_x && x < int64_t{ctx.view_x} + ctx.view_w && y >= ctx.view_y &&
           y < int64_t{ctx.view_y} + ctx.view_h;
}

// ---------------------------------------------------------------------------
// Clipping against the view (integer endpoints).

TEST(LineClip, EveryOutcodeRegionMovesOntoTheEdge) {
    const GfxContext ctx = view_context(10, 10, 20, 20);  // columns and rows 10..29
    struct Case {
        int32_t x1, y1, x2, y2;
        int32_t cx1, cy1;  // the clipped outside point; the inside one stays
    } cases[] = {
        {0, 20, 20, 20, 10, 20}, {40, 20, 20, 20, 29, 20},  // left, right
        {20, 0, 20, 20, 20, 10}, {20, 40, 20, 20, 20, 29},  // above, below
        {0, 0, 20, 20, 10, 10},  {40, 0, 20, 20, 29, 11},   // corners: left wins, then right
        {0, 40, 20, 20, 11, 29}, {40, 40, 20, 20, 29, 29},  // left lands below: second pass
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.x1 << "," << k.y1);
        const Clipped c = clip(ctx, k.x1, k.y1, k.x2, k.y2);
        ASSERT_TRUE(c.visible);
        EXPECT_EQ(c.x1, k.cx1);
        EXPECT_EQ(c.y1, k.cy1);
        EXPECT_EQ(c.x2, k.x2);
        EXPECT_EQ(c.y2, k.y2);
    }
}

TEST(LineClip, RejectsLinesThatMissTheView) {
    const GfxContext ctx = view_context(10, 10, 20, 20);
    EXPECT_FALSE(clip(ctx, 0, 0, 5, 40).visible);    // both left
    EXPECT_FALSE(clip(ctx, 0, 12, 12, 0).visible);   // across the corner, no shared bit
    EXPECT_FALSE(clip(ctx, 35, 0, 45, 50).visible);  // both right
    const GfxContext empty = view_context(10, 10, 0, 20);
    EXPECT_FALSE(clip(empty, 0, 15, 40, 15).visible);
    EXPECT_FALSE(clip(empty, 10, 15, 10, 15).visible);
    const GfxContext flat = view_context(10, 10, 20, 0);
    EXPECT_FALSE(clip(flat, 15, 0, 15, 40).visible);
}

TEST(LineClip, SlopeAndIntersectionsKeepExtendedPrecision) {
    // A double slope lands one pixel off in each of these.
    const GfxContext ctx = view_context(0, 0, 640, 480);
    Clipped c = clip(ctx, -126, -96, 145, 45);
    ASSERT_TRUE(c.visible);
    EXPECT_EQ(c.x1, 58);
    EXPECT_EQ(c.y1, 0);
    c = clip(ctx, 1016, -299, 378, 449);
    ASSERT_TRUE(c.visible);
    EXPECT_EQ(c.x1, 639);
    EXPECT_EQ(c.y1, 143);
    c = clip(ctx, 1, -42, 305, 14);
    ASSERT_TRUE(c.visible);
    EXPECT_EQ(c.x1, 228);
}

TEST(LineClip, Int32ExtremesFollowTheLine) {
    const GfxContext ctx = view_context(0, 0, 640, 480);
    constexpr int32_t lo = std::numeric_limits<int32_t>::min();
    constexpr int32_t hi = std::numeric_limits<int32_t>::max();
    Clipped c = clip(ctx, lo, lo, hi, hi);
    ASSERT_TRUE(c.visible);
    EXPECT_EQ(c.x1, 479);
    EXPECT_EQ(c.y1, 479);
    EXPECT_EQ(c.x2, 0);
    EXPECT_EQ(c.y2, 0);
    c = clip(ctx, lo, 100, hi, 100);
    ASSERT_TRUE(c.visible);
    EXPECT_EQ(c.x1, 639);
    EXPECT_EQ(c.x2, 0);
    EXPECT_FALSE(clip(ctx, lo, hi, hi, hi).visible);
    const GfxContext far_view = view_context(hi - 10, hi - 10, 10, 10);
    c = clip(far_view, lo, lo, hi, hi);
    ASSERT_TRUE(c.visible);
    EXPECT_TRUE(inside(far_view, c.x1, c.y1));
    EXPECT_TRUE(inside(far_view, c.x2, c.y2));
}

// Any integer endpoints: the clip ends, keeps its points inside the view and
// near the true line, and rejects only lines that truly miss the view.
TEST(LineClip, RandomLinesStayInsideAndOnTheirLine) {
    std::mt19937_64 rng(2024);
    auto any = [&](int64_t lo, int64_t hi) {
        return static_cast<int32_t>(lo + static_cast<int64_t>(rng() % uint64_t(hi - lo + 1)));
    };
    for (int i = 0; i < 200000; ++i) {
        const GfxContext ctx = view_context(any(0, 50), any(0, 50), any(1, 700), any(1, 500));
        const int64_t span = i % 3 == 0 ? (int64_t{1} << 31) - 1 : i % 3 == 1 ? 1 << 30 : 1500;
        const int32_t x1 = any(-span, span), y1 = any(-span, span);
        const int32_t x2 = i % 2 ? any(-span, span) : any(-20, 800);
        const int32_t y2 = i % 2 ? any(-span, span) : any(-20, 600);
        const Clipped c = clip(ctx, x1, y1, x2, y2);
        // A rejected line never passes through the view shrunk by the rounding
        // slack; an accepted one ends inside the view, near its true line.
        const bool sound =
            c.visible
                ? inside(ctx, c.x1, c.y1) && inside(ctx, c.x2, c.y2) &&
                      distance_to_line(c.x1, c.y1, x1, y1, x2, y2) <= 2.0L &&
                      distance_to_line(c.x2, c.y2, x1, y1, x2, y2) <= 2.0L
                : !segment_meets(x1, y1, x2, y2, ctx.view_x + 2.0L, ctx.view_y + 2.0L,
                                 ctx.view_x + ctx.view_w - 3.0L, ctx.view_y + ctx.view_h - 3.0L);
        ASSERT_TRUE(sound) << x1 << "," << y1 << " " << x2 << "," << y2 << " in view " << ctx.view_x
                           << "," << ctx.view_y << " " << ctx.view_w << "x" << ctx.view_h
                           << " gave " << c.visible << " " << c.x1 << "," << c.y1 << " " << c.x2
                           << "," << c.y2;
    }
}

// ---------------------------------------------------------------------------
// The pixel walk.

TEST_F(LineTest, SinglePointFollowsTheTopPatternBit) {
    EXPECT_EQ(draw(5, 6, 5, 6, 0x8000), (PixelSet{{5, 6}}));
    EXPECT_EQ(draw(5, 6, 5, 6, 0x7FFF), PixelSet{});
}

TEST_F(LineTest, BresenhamStepsTheMinorAxisOnTies) {
    EXPECT_EQ(draw(0, 0, 4, 4), (PixelSet{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}));
    // dx = 2 dy: the error starts at 0, so the second pixel is already one row over.
    EXPECT_EQ(draw(0, 0, 4, 2), (PixelSet{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}));
    EXPECT_EQ(draw(0, 0, 2, 4), (PixelSet{{0, 0}, {1, 1}, {1, 2}, {2, 3}, {2, 4}}));
    // Never reversed: the same points the other way round give other pixels.
    EXPECT_EQ(draw(4, 2, 0, 0), (PixelSet{{4, 2}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}));
}

TEST_F(LineTest, LeftwardRunStartsItsPatternAtTheFirstPoint) {
    EXPECT_EQ(draw(10, 5, 3, 5, 0x8000), (PixelSet{{10, 5}}));
    EXPECT_EQ(draw(40, 5, 0, 5, 0x8000), (PixelSet{{40, 5}, {24, 5}, {8, 5}}));
}

TEST_F(LineTest, VerticalPatternStartsAtEachLinesOwnFirstPoint) {
    PixelSet down, up;
    for (int y : {0, 1, 2, 3, 8, 9}) down.insert({7, y});
    for (int y : {6, 7, 8, 9, 0, 1}) up.insert({7, y});
    EXPECT_EQ(draw(7, 0, 7, 9, 0xF0F0), down);
    EXPECT_EQ(draw(7, 9, 7, 0, 0xF0F0), up);
}

TEST_F(LineTest, PatternRuleHoldsInEveryDirection) {
    const int ends[][2] = {{60, 30}, {60, 5}, {30, 45}, {2, 40},  {0, 30},
                           {5, 2},   {30, 0}, {61, 0},  {31, 47}, {60, 22}};
    for (uint32_t style : {0xF0F0u, 0xA5C3u, 0x8001u, 0x1234FFFEu}) {
        for (const auto& e : ends) {
            SCOPED_TRACE(testing::Message()
                         << std::hex << style << std::dec << " to " << e[0] << "," << e[1]);
            const PixelSet solid = draw(31, 22, float(e[0]), float(e[1]));
            EXPECT_EQ(draw(31, 22, float(e[0]), float(e[1]), style),
                      apply_pattern(solid, {31, 22}, style & 0xFFFF));
        }
    }
}

TEST_F(LineTest, NegativeFlagsDrawInTheForegroundColour) {
    zq_GfxLine(nullptr, 1, 1, 1, 1, kRed, 0, 0xFFFF, -1);
    EXPECT_EQ(pixel(1, 1), zq_hGetContext()->fg_color);
    EXPECT_EQ(pixel(1, 1), 0xFFFFFFFFu);
    zq_GfxLine(nullptr, 2, 1, 2, 1, kRed, 0, 0xFFFF, 0);
    EXPECT_EQ(pixel(2, 1), kRed);
}

TEST_F(LineTest, LastPointMovesEvenWhenNothingIsDrawn) {
    zq_GfxLine(nullptr, -10, 3, -20, 40, kRed, 0, 0xFFFF, 0);
    EXPECT_EQ(zq_hGetContext()->last_x, -20.0f);
    EXPECT_EQ(zq_hGetContext()->last_y, 40.0f);
    EXPECT_TRUE(lit().empty());
    EXPECT_EQ(lock_log.locks, 0);
    EXPECT_TRUE(dirty_rows().empty());
}

// ---------------------------------------------------------------------------
// Clipping through the line statement.

TEST_F(LineTest, SolidRunAcrossTheLeftEdgeStartsAtTheView) {
    set_view(10, 5, 40, 30);
    EXPECT_EQ(draw(0, 10, 20, 10), row_run(10, 10, 20));
    EXPECT_EQ(draw(50, 12, 0, 12), row_run(12, 10, 40));
}

TEST_F(LineTest, PatternPhaseStartsAtTheClippedPoint) {
    set_view(10, 5, 40, 30);
    // The second point is outside: drawing starts from its clipped image.
    EXPECT_EQ(draw(20, 10, 60, 10, 0x8000), (PixelSet{{40, 10}, {24, 10}}));
    // The first point is outside: cut-off positions use no pattern bits.
    EXPECT_EQ(draw(0, 11, 30, 11, 0x8000), (PixelSet{{10, 11}, {26, 11}}));
}

// Every pixel of a has one of b within one pixel, and the other way round.
bool within_one_pixel(const PixelSet& a, const PixelSet& b) {
    auto covered = [](const PixelSet& from, const PixelSet& by) {
        for (const Pixel& p : from) {
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy) {
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    near = by.count({p.first + dx, p.second + dy}) != 0;
                }
            }
            if (!near) return false;
        }
        return true;
    };
    return covered(a, b) && covered(b, a);
}

TEST_F(LineTest, HugeEndpointsKeepTheTrueDirection) {
    // Each far line is the near one drawn longer. The translation clamps each
    // axis alone, which would bend the far lines by many pixels; only rounding
    // where an edge crossing lands on a whole pixel may differ.
    const float far[][4] = {{10, 10, 1e30f, 1e30f},
                            {3, 7, 2e30f, 1e30f},
                            {60, 40, -3e30f, -1e30f},
                            {5, 5, -1e30f, 5},
                            {20, 3, 20, 1e30f},
                            {0, 0, 1e38f, 3e37f},
                            {-1e30f, 20, 1e30f, 20.5f},
                            {1e30f, -1e30f, -1e30f, 1e30f},
                            {-1e30f, -5e29f, 1e30f, 5e29f}};
    const float near[][4] = {
        {10, 10, 4000, 4000},  {3, 7, 4003, 2007},         {60, 40, -5940, -1960},
        {5, 5, -4000, 5},      {20, 3, 20, 4000},          {0, 0, 10000, 3000},
        {-4000, 20, 4000, 20}, {4000, -4000, -4000, 4000}, {-4000, -2000, 4000, 2000}};
    for (size_t i = 0; i < std::size(far); ++i) {
        SCOPED_TRACE(i);
        const PixelSet want = draw(near[i][0], near[i][1], near[i][2], near[i][3]);
        ASSERT_FALSE(want.empty());
        const PixelSet got = draw(far[i][0], far[i][1], far[i][2], far[i][3]);
        EXPECT_TRUE(within_one_pixel(got, want));
        EXPECT_NEAR(double(got.size()), double(want.size()), 1.0);
    }
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(draw(5, 9, inf, 9), row_run(9, 5, 63));
    EXPECT_EQ(draw(-inf, 9, inf, 9), row_run(9, 0, 63));
    EXPECT_EQ(draw(1e30f, 1e30f, -1e30f, -1e30f).size(), 48u);
    EXPECT_TRUE(draw(-1e30f, -1e30f, 1e30f, -1e30f).empty());
}

TEST_F(LineTest, NanEndpointsDrawNothing) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(draw(5, 5, nan, 20).empty());
    EXPECT_TRUE(draw(nan, nan, 10, 10).empty());
    EXPECT_EQ(lock_log.locks, 0);
}

TEST_F(LineTest, RandomFloatLinesNeverLeaveTheView) {
    set_view(7, 5, 50, 40);
    std::mt19937 rng(99);
    const float specials[] = {1e30f,
                              -1e30f,
                              3e9f,
                              -3e9f,
                              std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::quiet_NaN(),
                              0.5f,
                              2.5f};
    auto coord = [&]() {
        const unsigned pick = rng() % 10;
        if (pick < 2) return specials[rng() % std::size(specials)];
        return float(int(rng() % 200) - 70) + float(rng() % 4) * 0.25f;
    };
    for (int i = 0; i < 3000; ++i) {
        const float x1 = coord(), y1 = coord(), x2 = coord(), y2 = coord();
        zq_GfxLine(nullptr, x1, y1, x2, y2, kRed, 0, (i & 1) ? 0xFFFF : 0xC3A5, 0);
        ASSERT_FALSE(written_outside(7, 5, 50, 40)) << x1 << "," << y1 << " " << x2 << "," << y2;
    }
}

// ---------------------------------------------------------------------------
// Lock, dirty rows and targets.

TEST_F(LineTest, VisibleLineLocksOnceAndMarksItsRows) {
    zq_GfxLine(nullptr, 3, 30, 50, 12, kRed, 0, 0x1111, 0);
    EXPECT_EQ(lock_log.locks, 1);
    EXPECT_EQ(lock_log.unlocks, 1);
    EXPECT_EQ(__zq_gfx->flags & (SCREEN_LOCKED | SCREEN_LOCK_SET), 0u);
    std::vector<int> want;
    for (int y = 12; y <= 30; ++y) want.push_back(y);
    EXPECT_EQ(dirty_rows(), want);
}

TEST_F(LineTest, ClippedLineMarksOnlyItsVisibleRows) {
    set_view(0, 10, 63, 20);
    zq_GfxLine(nullptr, 5, 0, 5, 47, kRed, 0, 0xFFFF, 0);
    std::vector<int> want;
    for (int y = 10; y <= 20; ++y) want.push_back(y);
    EXPECT_EQ(dirty_rows(), want);
}

TEST_F(LineTest, HeldLockIsNeitherTakenNorReleased) {
    __zq_gfx->flags |= SCREEN_LOCKED;
    zq_GfxLine(nullptr, 1, 1, 9, 9, kRed, 0, 0xFFFF, 0);
    EXPECT_EQ(lock_log.locks, 0);
    EXPECT_EQ(lock_log.unlocks, 0);
    EXPECT_EQ(__zq_gfx->flags & SCREEN_LOCKED, SCREEN_LOCKED);
    EXPECT_EQ(pixel(5, 5), kRed);
    __zq_gfx->flags &= ~SCREEN_LOCKED;
}

TEST_F(LineTest, ImageBufferTargetMarksNoScreenRows) {
    alignas(4) uint8_t buffer[32 + 20 * 10 * 4] = {};
    const int32_t header[5] = {7, 4, 20, 10, 20 * 4};
    std::memcpy(buffer, header, sizeof header);
    zq_GfxLine(buffer, -5, 2, 30, 2, kRed, 0, 0xFFFF, 0);
    uint32_t first, last;
    std::memcpy(&first, buffer + 32 + 2 * 80, 4);
    std::memcpy(&last, buffer + 32 + 2 * 80 + 19 * 4, 4);
    EXPECT_EQ(first, kRed);
    EXPECT_EQ(last, kRed);
    EXPECT_TRUE(dirty_rows().empty());
    EXPECT_TRUE(lit().empty());
    zq_GfxLine(nullptr, 0, 0, 0, 0, kRed, 0, 0xFFFF, 0);  // back to the screen
    EXPECT_EQ(dirty_rows(), std::vector<int>{0});
}

TEST_F(LineTest, BoxTypesTakeCornersInAnyOrder) {
    zq_GfxLine(nullptr, 9, 8, 2, 3, kRed, 2, 0xFFFF, 0);
    const PixelSet filled = lit();
    EXPECT_EQ(filled.size(), 8u * 6u);
    EXPECT_TRUE(filled.count({2, 3}) && filled.count({9, 8}));
    wipe();
    zq_GfxLine(nullptr, 2, 8, 9, 3, kRed, 1, 0xFFFF, 0);
    const PixelSet outline = lit();
    EXPECT_EQ(outline.size(), 2u * 8u + 2u * 4u);
    EXPECT_FALSE(outline.count({5, 5}));
}

TEST_F(LineTest, RunsAndPointsAddressPixelsOfEveryDepth) {
    for (int depth : {8, 16, 32}) {
        SCOPED_TRACE(depth);
        close();
        ASSERT_NO_FATAL_FAILURE(open(64, 48, depth));
        const int bpp = __zq_gfx->bpp;
        zq_GfxLine(nullptr, 3, 2, 10, 2, 0, 0, 0xFFFF, -1);  // one fill
        zq_GfxLine(nullptr, 5, 4, 5, 6, 0, 0, 0xFFFF, -1);   // pixel by pixel
        std::vector<int> lit_row2, lit_col5;
        for (int x = 0; x < 64; ++x) {
            const uint8_t* p = __zq_gfx->framebuffer + 2 * __zq_gfx->pitch + x * bpp;
            if (std::any_of(p, p + bpp, [](uint8_t b) { return b != 0; })) lit_row2.push_back(x);
        }
        for (int y = 0; y < 48; ++y) {
            const uint8_t* p = __zq_gfx->framebuffer + y * __zq_gfx->pitch + 5 * bpp;
            if (std::any_of(p, p + bpp, [](uint8_t b) { return b != 0; })) lit_col5.push_back(y);
        }
        EXPECT_EQ(lit_row2, (std::vector<int>{3, 4, 5, 6, 7, 8, 9, 10}));
        EXPECT_EQ(lit_col5, (std::vector<int>{2, 4, 5, 6}));
    }
}

TEST(LineNoScreen, DrawsNothingAndKeepsTheLastPoint) {
    ASSERT_EQ(__zq_gfx, nullptr);
    GfxContext* ctx = zq_hGetContext();
    ctx->last_x = 1.5f;
    ctx->last_y = 2.5f;
    zq_GfxLine(nullptr, 0, 0, 10, 10, kRed, 0, 0xFFFF, 0);
    zq_GfxLine(nullptr, 0, 0, 10, 10, kRed, 2, 0xFFFF, 0);
    EXPECT_EQ(ctx->last_x, 1.5f);
    EXPECT_EQ(ctx->last_y, 2.5f);
}

}  // namespace
