// The window layer's decisions that need no window: the vertical-sync period,
// the control-key state of key messages, the GDI dirty band and conversion,
// and the depths of the display-mode list.
#include <gtest/gtest.h>

#include <vector>

#include "console/io_input.h"
#include "gfx/win32/gfx_ddrawrules.h"
#include "gfx/win32/gfx_winrules.h"

namespace {
TEST(WinRules, RefreshPeriod) {
    // 0 and 1 both mean "default rate" (64-bit systems report 1): neither may
    // turn into a one-second frame.
    struct Case {
        int32_t hz, ms;
        int64_t us;
    } cases[] = {{60, 16, 16666},  {0, 16, 16000},   {1, 16, 16000},
                 {-60, 16, 16000}, {2, 500, 500000}, {5000, 0, 200}};
    for (const Case& c : cases) {
        EXPECT_EQ(zq_hRefreshPeriodMs(c.hz), c.ms) << c.hz;
        EXPECT_EQ(zq_hRefreshPeriodUs(c.hz), c.us) << c.hz;
    }
}

TEST(WinRules, KeyControlState) {
    using namespace KeyState;
    struct Case {
        std::vector<uint8_t> down;
        bool extended;
        int32_t state;
    } cases[] = {
        {{}, false, 0},
        {{0xA1}, false, Shift},                       // right Shift alone
        {{0x11, 0xA2}, false, LeftCtrl},              // left Ctrl
        {{0x11, 0xA3}, false, LeftCtrl | RightCtrl},  // right Ctrl: Control is down too
        {{0x12, 0xA5}, true, LeftAlt | RightAlt | Enhanced},
    };
    for (const Case& c : cases) {
        uint8_t keyboard[256] = {};
        for (uint8_t vk : c.down) keyboard[vk] = 0x80;
        keyboard[0x41] = 0x01;  // toggled, not down
        EXPECT_EQ(zq_hKeyControlState(keyboard, c.extended), c.state);
    }
}

TEST(WinRules, DirtyBand) {
    struct Case {
        std::vector<int32_t> dirty;
        int32_t repeat, first, count;  // count 0: nothing to draw, the band untouched
    } cases[] = {{{}, 1, -1, 0},
                 {{100, 101, 102, 300}, 1, 100, 201},
                 {{100, 101, 102, 300}, 2, 200, 402},  // display lines of repeated lines
                 {{0, 479}, 1, 0, 480}};
    for (const Case& c : cases) {
        std::vector<uint8_t> dirty(480, 0);
        for (int32_t line : c.dirty) dirty[static_cast<size_t>(line)] = 1;
        DirtyBand band{-1, 0};
        EXPECT_EQ(zq_hDirtyBand(dirty.data(), 480, c.repeat, &band), c.count > 0);
        EXPECT_EQ(band.first * 10000 + band.count, c.first * 10000 + c.count);
    }
}

TEST(WinRules, GdiConversion) {
    using C = GdiConversion;
    struct Case {
        int32_t bits, width, line_repeat;
        bool shaped;
        C conversion;
    } cases[] = {
        {32, 640, 1, false, C::None},
        {8, 642, 1, false, C::LineCopy},
        {16, 640, 1, true, C::To555},
        {32, 640, 1, true, C::AlphaRemover},
        {8, 640, 1, true, C::None},
        // The framebuffer holds each line once: repeated lines need a copy.
        {32, 640, 2, false, C::LineCopy},
        {32, 640, 2, true, C::AlphaRemover},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zq_hGdiConversion(c.bits, c.width, c.line_repeat, c.shaped), c.conversion)
            << c.bits << " bits, width " << c.width << ", repeat " << c.line_repeat;
    }
}

TEST(WinRules, DisplayModeDepths) {
    struct Case {
        int32_t mode_bits, depth;
        bool matches;
    } cases[] = {{15, 16, true}, {32, 24, true}, {16, 32, false}, {24, 16, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(zq_hModeDepthMatches(c.mode_bits, c.depth), c.matches) << c.mode_bits;
    }
}
}  // namespace
