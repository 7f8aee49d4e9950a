// The window layer's decisions that need no window: the vertical-sync period,
// the control-key state of key messages, the GDI dirty band and conversion,
// and the display-mode list.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "console/io_input.h"
#include "gfx/win32/gfx_winrules.h"

namespace {
TEST(WinRules, RefreshPeriod) {
    // 0 and 1 both mean "default rate" (64-bit systems report 1): neither may
    // turn into a one-second frame.
    struct Case {
        int32_t hz, ms;
    } cases[] = {{60, 16}, {75, 13}, {0, 16}, {1, 16}, {-60, 16}, {2, 500}, {1000, 1}, {5000, 0}};
    for (const Case& c : cases) EXPECT_EQ(zq_hRefreshPeriodMs(c.hz), c.ms) << c.hz;
}

TEST(WinRules, KeyControlState) {
    using namespace KeyState;
    struct Case {
        std::vector<uint8_t> down;
        bool extended;
        int32_t state;
    } cases[] = {
        {{}, false, 0},
        {{0xA1}, false, Shift},                             // right Shift alone
        {{0x11, 0xA2}, false, LeftCtrl},                    // left Ctrl
        {{0x11, 0xA3}, false, LeftCtrl | RightCtrl},        // right Ctrl: Control is down too
        {{0x11, 0xA2, 0xA3}, false, LeftCtrl | RightCtrl},  // both sides
        {{0x12, 0xA5}, true, LeftAlt | RightAlt | Enhanced},
        {{0x10, 0x12}, false, Shift | LeftAlt},
    };
    for (const Case& c : cases) {
        uint8_t keyboard[256] = {};
        for (uint8_t vk : c.down) keyboard[vk] = 0x80;
        keyboard[0x41] = 0x01;  // toggled, not down
        EXPECT_EQ(zq_hKeyControlState(keyboard, c.extended), c.state);
    }
}

TEST(WinRules, DirtyBand) {
    std::vector<uint8_t> dirty(480, 0);
    DirtyBand band{-1, -1};
    EXPECT_FALSE(zq_hDirtyBand(dirty.data(), 480, 1, &band));
    dirty[100] = dirty[101] = dirty[102] = dirty[300] = 1;
    ASSERT_TRUE(zq_hDirtyBand(dirty.data(), 480, 1, &band));
    EXPECT_EQ(band.first, 100);
    EXPECT_EQ(band.count, 201);
    // Repeated lines: framebuffer lines 100..300 are display lines 200..601.
    ASSERT_TRUE(zq_hDirtyBand(dirty.data(), 480, 2, &band));
    EXPECT_EQ(band.first, 200);
    EXPECT_EQ(band.count, 402);
    std::vector<uint8_t> edges(480, 0);
    edges[0] = edges[479] = 1;
    ASSERT_TRUE(zq_hDirtyBand(edges.data(), 480, 1, &band));
    EXPECT_EQ(band.first, 0);
    EXPECT_EQ(band.count, 480);
}

TEST(WinRules, GdiConversion) {
    using C = GdiConversion;
    struct Case {
        int32_t bits, width, line_repeat;
        bool shaped;
        C conversion;
    } cases[] = {
        {32, 640, 1, false, C::None},
        {8, 640, 1, false, C::None},
        {8, 642, 1, false, C::LineCopy},
        {32, 642, 1, false, C::LineCopy},
        {16, 640, 1, false, C::To555},
        {32, 640, 1, true, C::AlphaRemover},
        {8, 640, 1, true, C::None},
        {16, 640, 1, true, C::To555},
        // The framebuffer holds each line once: repeated lines need a copy.
        {8, 640, 2, false, C::LineCopy},
        {32, 640, 2, false, C::LineCopy},
        {32, 640, 2, true, C::AlphaRemover},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zq_hGdiConversion(c.bits, c.width, c.line_repeat, c.shaped), c.conversion)
            << c.bits << " bits, width " << c.width << ", repeat " << c.line_repeat;
    }
}

TEST(WinRules, DisplayModes) {
    struct Mode {
        int32_t bits;
        uint32_t w, h;
    } listed[] = {{8, 640, 480}, {15, 800, 600}, {16, 800, 600}, {24, 1024, 768}, {32, 1024, 768}};
    int32_t count = 0;
    int32_t* modes = nullptr;
    for (const Mode& m : listed) {
        if (!zq_hModeDepthMatches(m.bits, 16)) continue;
        int32_t* grown = zq_hAppendMode(modes, &count, m.w, m.h);
        ASSERT_NE(grown, nullptr);
        modes = grown;
    }
    ASSERT_EQ(count, 2);
    EXPECT_EQ(modes[0], 0x03200258);
    EXPECT_EQ(modes[1], 0x03200258);
    std::free(modes);
    EXPECT_TRUE(zq_hModeDepthMatches(24, 32));
    EXPECT_TRUE(zq_hModeDepthMatches(32, 24));
    EXPECT_FALSE(zq_hModeDepthMatches(16, 32));
    EXPECT_FALSE(zq_hModeDepthMatches(8, 16));
}
}  // namespace
