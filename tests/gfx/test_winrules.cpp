// The Win32 drivers' decisions that need no window: the vertical-sync period
// and pacing, the control-key state of key messages, the DirectInput key
// state, the GDI dirty band and conversion, the DirectX mode search and blitter
// format, and the depths of the display-mode list.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
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

// A loop that draws for `work_us`, then waits for the blank on a simulated
// clock: blanks every `blank_us` (0: the wait returns at once), the system
// reporting `rate`; the pacer's sleeps last whole milliseconds, as Sleep does.
double paced_fps(int32_t rate, int64_t blank_us, int64_t work_us, bool wait_ok) {
    VsyncPacer pacer{};
    int64_t t = 0;
    for (int32_t frame = 0; frame < 600; ++frame) {
        t += work_us;
        int64_t start = t;
        if (blank_us && wait_ok) t = (t / blank_us + 1) * blank_us;
        t += 3;  // the call itself
        int64_t sleep = zq_hVsyncPaceUs(&pacer, start, t, zq_hRefreshPeriodUs(rate), wait_ok);
        t += (sleep + 999) / 1000 * 1000;
    }
    return 600e6 / static_cast<double>(t);
}

TEST(DdrawRules, PacingHoldsOnlyWaitsThatWaitedForNothing) {
    struct Case {
        int32_t rate;
        int64_t blank_us, work_us;
        bool wait_ok;
        double fps;
    } cases[] = {
        {0, 6944, 1000, true, 144},    // real 144 Hz blanks, rate unknown: never throttled
        {60, 8333, 3000, true, 120},   // 120 Hz reported as 60
        {60, 0, 1000, true, 60},       // the blank comes at once: one refresh apart
        {0, 0, 1000, true, 62.5},      // unknown rate: 16 ms
        {60, 16666, 1000, false, 60},  // a failed wait is paced too
        {60, 0, 25000, true, 40},      // slow frames are not held back further
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(paced_fps(c.rate, c.blank_us, c.work_us, c.wait_ok), c.fps, c.fps / 50)
            << c.rate << " Hz, blanks every " << c.blank_us << " us";
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

TEST(DdrawRules, KeyStateFoldsExtendedKeysOntoTheirBaseCode) {
    struct Case {
        std::vector<int32_t> down, set;  // device scan codes; key_state entries
    } cases[] = {
        {{0x9D}, {0x1D}},                    // right Ctrl sets left Ctrl's entry
        {{0x2A}, {0x2A}},                    // each Shift only its own code
        {{0x36}, {0x36}},                    //
        {{0xC8, 0x48, 0x01}, {0x48, 0x01}},  // Up and keypad 8 share one entry
        {{0xFF}, {0x7F}},
    };
    for (const Case& c : cases) {
        uint8_t device[256] = {}, key_state[128], want[128] = {};
        device[0x10] = 0x7F;  // bit 7 clear: up
        for (int32_t code : c.down) device[code] = 0x80;
        for (int32_t code : c.set) want[code] = 1;
        std::memset(key_state, 9, sizeof key_state);
        zq_hDdrawKeyState(device, key_state);
        EXPECT_EQ(std::memcmp(key_state, want, sizeof want), 0) << c.down[0];
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
        {32, 640, 1, false, C::None},        {8, 642, 1, false, C::LineCopy},
        {16, 640, 1, true, C::To555},        {32, 640, 1, true, C::AlphaRemover},
        {8, 640, 1, true, C::None},          {32, 640, 2, false, C::LineCopy},  // lines held once
        {32, 640, 2, true, C::AlphaRemover},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zq_hGdiConversion(c.bits, c.width, c.line_repeat, c.shaped), c.conversion)
            << c.bits << " bits, width " << c.width << ", repeat " << c.line_repeat;
    }
}

// A display that accepts only the modes listed and records every request.
struct FakeDisplay {
    std::string accepts;  // " WxHxBITS ..."
    std::string tries;    // " WxHxBITS/FLAGS ..."
};

bool fake_set_mode(void* context, int32_t w, int32_t h, int32_t bits, int32_t, uint32_t flags) {
    auto* d = static_cast<FakeDisplay*>(context);
    std::string mode = std::to_string(w) + "x" + std::to_string(h) + "x" + std::to_string(bits);
    d->tries += " " + mode + "/" + std::to_string(flags);
    return d->accepts.find(" " + mode + " ") != std::string::npos;
}

TEST(DdrawRules, ModeSearch) {
    struct Case {
        int32_t w, h, bits;
        const char* accepts;
        int32_t found;
        const char* tries;
    } cases[] = {
        {640, 480, 32, " 640x480x32 ", 480, " 640x480x32/0"},
        {640, 400, 8, " 640x480x8 ", 480, " 640x400x8/0 640x480x8/0"},  // centred lower
        {320, 200, 8, " 320x240x8 ", 240, " 320x200x8/1 320x240x8/0"},  // VGA flag once
        {640, 480, 32, " 640x480x24 ", 480, " 640x480x32/0 640x480x24/0"},
        {800, 600, 15, " 800x600x16 ", 600, " 800x600x15/0 800x600x16/0"},
        {640, 1024, 8, "", -1, " 640x1024x8/0"},  // 8 bits has no twin
        {1600, 1200, 32, "", -1, " 1600x1200x32/0 1600x1200x24/0"},
    };
    for (const Case& c : cases) {
        FakeDisplay display{c.accepts, ""};
        EXPECT_EQ(zq_hDdrawFindMode(c.w, c.h, c.bits, 0, fake_set_mode, &display), c.found);
        EXPECT_EQ(display.tries, c.tries);
    }
}

TEST(DdrawRules, BlitFormatAndModeListDepths) {
    struct Case {
        int32_t bits;
        uint32_t red, green;
        int32_t depth, rgb;
    } cases[] = {
        {32, 0xFF0000, 0x00FF00, 32, 0}, {32, 0x0000FF, 0x00FF00, 32, 1},
        {24, 0x0000FF, 0x00FF00, 24, 1}, {16, 0xF800, 0x07E0, 16, 0},
        {16, 0x001F, 0x07E0, 16, 1},     {16, 0x7C00, 0x03E0, 15, 0},  // 5-5-5 reported as 16
        {16, 0x001F, 0x03E0, 15, 1},     {8, 0, 0, 8, 0},
    };
    for (const Case& c : cases) {
        DdrawBlitFormat f = zq_hDdrawBlitFormat(c.bits, c.red, c.green);
        EXPECT_EQ(f.depth * 2 + f.rgb, c.depth * 2 + c.rgb) << c.bits << " " << c.red;
    }
    // The GDI mode list: 15 and 16, 24 and 32 stand for each other.
    EXPECT_TRUE(zq_hModeDepthMatches(15, 16) && zq_hModeDepthMatches(32, 24));
    EXPECT_FALSE(zq_hModeDepthMatches(16, 32) || zq_hModeDepthMatches(24, 16));
}
}  // namespace
