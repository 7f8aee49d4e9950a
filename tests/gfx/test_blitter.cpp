// The blitters against a per-pixel reference written from the pixel formats,
// and the choice of a member for each display format.
#include <cstdlib>

#include "gfx/blit/gfx_blitter.h"
#include "gfx/blit/gfx_blitter_lines.h"
#include "gfx_test_util.h"

namespace {

using Bytes = std::vector<uint8_t>;

// One display pixel for a framebuffer pixel, from the formats alone: the
// colour (palette entry, 5-6-5 or bytes B, G, R), then the display's layout
// with red low for RGB; a 32-bit display pixel carries the source's fourth
// byte (32-bit sources) or 0.
Bytes reference_pixel(int src, int dst, bool rgb, const uint8_t* p, const uint32_t* palette) {
    if (dst == 8) return {*p};
    const uint32_t e = src == 8 ? palette[*p] : 0, v = src == 16 ? p[0] | p[1] << 8 : 0;
    const uint32_t r = src == 8 ? e & 0xFF : src == 16 ? (v >> 11) << 3 : p[2];
    const uint32_t g = src == 8 ? (e >> 8) & 0xFF : src == 16 ? ((v >> 5) & 0x3F) << 2 : p[1];
    const uint32_t b = src == 8 ? (e >> 16) & 0xFF : src == 16 ? (v & 0x1F) << 3 : p[0];
    const uint32_t lo = rgb ? r : b, hi = rgb ? b : r, alpha = src == 32 ? p[3] : 0;
    const uint32_t out = dst == 15   ? (hi >> 3) << 10 | (g >> 3) << 5 | lo >> 3
                         : dst == 16 ? (hi >> 3) << 11 | (g >> 2) << 5 | lo >> 3
                                     : lo | g << 8 | hi << 16 | alpha << 24;
    Bytes px(dst == 15 ? 2 : dst / 8);
    for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint8_t>(out >> (8 * i));
    return px;
}

struct Member {
    const char* name;
    Blitter plain, mmx;  // mmx: null where the copy serves both sets
    int src, dst;
    bool rgb;
};

#define ZQ_MEMBER(name, src, dst, rgb) \
    { #name, zq_hBlit##name, zq_hBlit##name##MMX, src, dst, rgb }
#define ZQ_PAIR(name, src, dst) \
    ZQ_MEMBER(name##RGB, src, dst, true), ZQ_MEMBER(name##BGR, src, dst, false)
// clang-format off
const Member kMembers[] = {
    {"Copy8", zq_hBlitCopy, nullptr, 8, 8, false}, {"Copy16", zq_hBlitCopy, nullptr, 16, 16, false},
    {"Copy32", zq_hBlitCopy, nullptr, 32, 32, false},
    ZQ_PAIR(8to15, 8, 15), ZQ_PAIR(8to16, 8, 16), ZQ_PAIR(8to24, 8, 24), ZQ_PAIR(8to32, 8, 32),
    ZQ_PAIR(16to15, 16, 15), ZQ_MEMBER(16to16RGB, 16, 16, true),
    ZQ_MEMBER(16to24, 16, 24, true), ZQ_MEMBER(16to24, 16, 24, false),
    ZQ_MEMBER(16to32, 16, 32, true), ZQ_MEMBER(16to32, 16, 32, false),
    ZQ_PAIR(32to15, 32, 15), ZQ_PAIR(32to16, 32, 16), ZQ_PAIR(32to24, 32, 24),
    ZQ_MEMBER(32to32RGB, 32, 32, true),
};
// clang-format on
#undef ZQ_PAIR
#undef ZQ_MEMBER

uint32_t next_random(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state;
}

constexpr int kHeight = 5;
constexpr uint8_t kDirty[kHeight] = {1, 0, 7, 1, 1};
constexpr uint8_t kUntouched = 0xA5;

// Fills the framebuffer and the palette with random bytes (palette entries
// included: a stray fourth byte must not reach the display) and marks kDirty.
void fill_screen(uint32_t seed) {
    GfxState& s = *__zq_gfx;
    for (int i = 0; i < s.pitch * s.height; ++i) s.framebuffer[i] = next_random(seed) >> 24;
    for (int i = 0; i < 256; ++i) s.device_palette[i] = next_random(seed);
    std::memcpy(s.dirty, kDirty, kHeight);
}

// What a blit into lines of `pitch` bytes (and a guard line) must leave.
Bytes expected_image(const Member& m, int32_t pitch) {
    const GfxState& s = *__zq_gfx;
    int repeat = s.line_repeat;
    Bytes out(static_cast<size_t>(pitch) * (kHeight * (repeat > 0 ? repeat : 0) + 1), kUntouched);
    for (int k = 0; k < kHeight * repeat; ++k) {
        int y = k / repeat;
        if (!s.dirty[y]) continue;
        uint8_t* line = out.data() + k * pitch;
        for (int x = 0; x < s.width; ++x) {
            const uint8_t* p = s.framebuffer + y * s.pitch + x * s.bpp;
            Bytes px = reference_pixel(m.src, m.dst, m.rgb, p, s.device_palette);
            std::memcpy(line + x * px.size(), px.data(), px.size());
        }
    }
    return out;
}

// A negative pitch fills the buffer bottom up from its last line; the lines
// come back top down, as a positive pitch leaves them.
Bytes run(Blitter b, size_t bytes, int32_t pitch) {
    Bytes out(bytes, kUntouched), flipped;
    const size_t step = static_cast<size_t>(std::abs(pitch));
    b(pitch < 0 ? out.data() + bytes - step : out.data(), pitch);
    if (pitch > 0) return out;
    for (size_t at = bytes; at > 0; at -= step)
        flipped.insert(flipped.end(), out.begin() + at - step, out.begin() + at);
    return flipped;
}

// Every member, plain and MMX, on odd and even widths, line_repeat 0 to 2, dirty
// lines only, into lines longer than the pixels, end to end (one run) and
// bottom up; also without SSE2, for the loops SSE2 processors never reach.
TEST(Blitter, MembersMatchThePixelFormats) {
    for (bool sse2 : {true, false}) {
        zq_hBlitAllowSse2(sse2);
        for (const Member& m : kMembers) {
            for (int width : {1, 7, 13, 16, 641}) {
                ASSERT_EQ(zq_GfxScreenRes(width, kHeight, m.src, 0, -1, 0), 0);
                zq_hGetBlitter(m.dst, m.rgb);  // sets the 16-to-32 table's order
                fill_screen(static_cast<uint32_t>(width));
                const int32_t line = width * (m.dst == 15 ? 2 : m.dst / 8);
                for (auto [repeat, pitch] :
                     {std::pair(1, line + 5), {1, line}, {2, line + 5}, {0, line}, {2, -line}}) {
                    __zq_gfx->line_repeat = repeat;
                    Bytes want = expected_image(m, std::abs(pitch));
                    SCOPED_TRACE(testing::Message()
                                 << m.name << (m.rgb ? " RGB" : " BGR") << " width " << width
                                 << " repeat " << repeat << " pitch " << pitch << " sse2 " << sse2);
                    EXPECT_EQ(run(m.plain, want.size(), pitch), want);
                    if (m.mmx) {
                        EXPECT_EQ(run(m.mmx, want.size(), pitch), want) << "MMX";
                    }
                }
                __zq_gfx->line_repeat = 1;
                zq_GfxScreen(0, 0, 0, 0, 0);
            }
        }
    }
    zq_hBlitAllowSse2(true);
}

Blitter twin(Blitter plain) {
    for (const Member& m : kMembers) {
        if (m.plain == plain && m.mmx) return m.mmx;
    }
    return plain;
}

// Each member serves its own formats; framebuffer depths 1 to 4 use the 8-bit
// members, 15 the 16-bit and 24 the 32-bit ones; any rgb flag but 0 is RGB.
TEST(Blitter, ChoiceForEachFormat) {
    struct Case {
        int fb_depth, depth, rgb;
        Blitter want;  // plain set
    };
    // clang-format off
    std::vector<Case> cases = {
        {8, 8, 1, zq_hBlitCopy}, {4, 15, 1, zq_hBlit8to15RGB}, {1, 15, 0, zq_hBlit8to15BGR},
        {2, 16, 0, zq_hBlit8to16BGR}, {15, 15, 0, zq_hBlit16to15BGR}, {15, 32, 0, zq_hBlit16to32},
        {24, 16, 1, zq_hBlit32to16RGB}, {32, 32, 7, zq_hBlit32to32RGB}, {16, 8, 0, nullptr},
        {8, 12, 0, nullptr}, {32, 64, 0, nullptr}, {3, 32, 0, nullptr}, {33, 16, 0, nullptr}};
    // clang-format on
    for (const Member& m : kMembers) cases.push_back({m.src, m.dst, m.rgb, m.plain});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fb_depth << " to " << c.depth << " rgb " << c.rgb);
        ASSERT_EQ(zq_GfxScreenRes(640, 4, 32, 0, -1, 0), 0);
        GfxState& s = *__zq_gfx;
        s.depth = c.fb_depth;
        s.flags &= ~SCREEN_HAS_MMX;
        EXPECT_EQ(zq_hGetBlitter(c.depth, c.rgb), c.want);
        s.flags |= SCREEN_HAS_MMX;
        EXPECT_EQ(zq_hGetBlitter(c.depth, c.rgb), c.want ? twin(c.want) : nullptr);
        s.width = 642;  // the MMX members need widths in steps of 4 and single lines
        EXPECT_EQ(zq_hGetBlitter(c.depth, c.rgb), c.want) << "width 642";
        s.width = 640, s.line_repeat = 2;
        EXPECT_EQ(zq_hGetBlitter(c.depth, c.rgb), c.want) << "line_repeat 2";
        s.width = 640, s.line_repeat = 1, s.depth = 32;
        zq_GfxScreen(0, 0, 0, 0, 0);
    }
    EXPECT_EQ(zq_hGetBlitter(32, 0), nullptr) << "no screen";
    zq_hBlit32to16RGB(nullptr, 0);  // no screen: nothing to do, no fault
}

}  // namespace
