// The DirectX driver's decisions that need no DirectDraw: the full-screen mode
// search against displays that refuse modes, the blitter format from a
// display's masks, the DirectInput key state and the vertical-blank pacing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/win32/gfx_ddrawrules.h"

namespace {
// A display that accepts only the listed modes and records every request.
struct FakeDisplay {
    std::vector<std::string> accepts;  // "WxHxBITS"
    std::vector<std::string> tries;    // "WxHxBITS/FLAGS"
};

bool fake_set_mode(void* context, int32_t w, int32_t h, int32_t bits, int32_t, uint32_t flags) {
    auto* d = static_cast<FakeDisplay*>(context);
    std::string mode = std::to_string(w) + "x" + std::to_string(h) + "x" + std::to_string(bits);
    d->tries.push_back(mode + "/" + std::to_string(flags));
    for (const std::string& a : d->accepts) {
        if (a == mode) return true;
    }
    return false;
}

TEST(DdrawRules, ModeSearch) {
    struct Case {
        const char* what;
        int32_t w, h, bits;
        std::vector<std::string> accepts;
        int32_t found;
        std::vector<std::string> tries;
    } cases[] = {
        {"exact mode", 640, 480, 32, {"640x480x32"}, 480, {"640x480x32/0"}},
        {"no 400 lines: 480, centred 40 lines down",
         640,
         400,
         8,
         {"640x480x8"},
         480,
         {"640x400x8/0", "640x480x8/0"}},
        {"standard VGA mode flag on the first try only",
         320,
         200,
         8,
         {"320x240x8"},
         240,
         {"320x200x8/1", "320x240x8/0"}},
        {"32 bits refused: the twin depth 24",
         640,
         480,
         32,
         {"640x480x24"},
         480,
         {"640x480x32/0", "640x480x24/0"}},
        {"15 and 16 are twins",
         800,
         600,
         15,
         {"800x600x16"},
         600,
         {"800x600x15/0", "800x600x16/0"}},
        // Only the desktop size is offered (a virtual X screen): every height
        // of the list fails at both depths, then the search gives up.
        {"only another size offered",
         640,
         480,
         32,
         {"1024x768x32"},
         -1,
         {"640x480x32/0", "640x480x24/0", "640x600x32/0", "640x600x24/0", "640x768x32/0",
          "640x768x24/0", "640x1024x32/0", "640x1024x24/0"}},
        {"8 bits has no twin", 640, 1024, 8, {}, -1, {"640x1024x8/0"}},
        {"taller than the list", 1600, 1200, 32, {}, -1, {"1600x1200x32/0", "1600x1200x24/0"}},
    };
    for (const Case& c : cases) {
        FakeDisplay display{c.accepts, {}};
        EXPECT_EQ(zq_hDdrawFindMode(c.w, c.h, c.bits, 0, fake_set_mode, &display), c.found)
            << c.what;
        EXPECT_EQ(display.tries, c.tries) << c.what;
    }
}

TEST(DdrawRules, BlitFormatFromMasks) {
    struct Case {
        int32_t bits;
        uint32_t red, green;
        int32_t depth, rgb;
    } cases[] = {
        {32, 0xFF0000, 0x00FF00, 32, 0},  // the framebuffer's own order
        {32, 0x0000FF, 0x00FF00, 32, 1},
        {24, 0x0000FF, 0x00FF00, 24, 1},
        {24, 0xFF0000, 0x00FF00, 24, 0},
        {16, 0xF800, 0x07E0, 16, 0},
        {16, 0x001F, 0x07E0, 16, 1},
        {16, 0x7C00, 0x03E0, 15, 0},  // 5-5-5 reported as 16 bits
        {16, 0x001F, 0x03E0, 15, 1},
        {15, 0x7C00, 0x03E0, 15, 0},
        {8, 0, 0, 8, 0},
    };
    for (const Case& c : cases) {
        DdrawBlitFormat f = zq_hDdrawBlitFormat(c.bits, c.red, c.green);
        EXPECT_EQ(f.depth, c.depth) << c.bits << " " << std::hex << c.red << " " << c.green;
        EXPECT_EQ(f.rgb, c.rgb) << c.bits << " " << std::hex << c.red << " " << c.green;
    }
}

TEST(DdrawRules, KeyStateFoldsExtendedKeys) {
    uint8_t device[256] = {};
    uint8_t keys[128];
    device[0x9D] = 0x80;  // right Ctrl
    device[0x1E] = 0x80;  // A
    device[0x48] = 0x7F;  // every bit but the down bit
    device[0xC8] = 0x80;  // extended Up: the same entry as keypad 8
    device[0xFF] = 0x80;
    zq_hDdrawKeyState(device, keys);
    for (int32_t i = 0; i < 128; ++i) {
        bool down = i == 0x1D || i == 0x1E || i == 0x48 || i == 0x7F;
        EXPECT_EQ(keys[i], down ? 1 : 0) << i;
    }
}

TEST(DdrawRules, RefreshPeriod) {
    struct Case {
        int32_t hz;
        int64_t us;
    } cases[] = {{60, 16666}, {75, 13333}, {0, 16000}, {1, 16000}, {-5, 16000}, {2, 500000}};
    for (const Case& c : cases) EXPECT_EQ(zq_hRefreshPeriodUs(c.hz), c.us) << c.hz;
}

// Runs `frames` frames of `work_us` drawing each on a fake clock whose blank
// wait takes `blank_us`; returns the time they took.
int64_t run_frames(int32_t frames, int64_t work_us, int64_t period_us, bool real_blank) {
    VsyncPacer pacer{};
    int64_t now = 0;
    for (int32_t i = 0; i < frames; ++i) {
        now += work_us;
        if (real_blank) now = (now / period_us + 1) * period_us;  // waits for the next blank
        int64_t sleep = zq_hVsyncPaceUs(&pacer, now, period_us);
        EXPECT_GE(sleep, 0);
        if (real_blank) {
            EXPECT_EQ(sleep, 0) << "frame " << i;
        }
        // Sleep(ms) rounded up and late by up to a millisecond more.
        now += (sleep + 999) / 1000 * 1000 + (sleep > 0 ? 700 : 0);
    }
    return now;
}

TEST(DdrawRules, PacingKeepsOneFramePerRefresh) {
    struct Case {
        int64_t work_us, period_us;
        bool real_blank;
    } cases[] = {
        {200, 16666, false},   // a blank that does not wait: paced to 60 Hz
        {5000, 16666, false},  // drawing takes a while
        {200, 16000, false},   // rate unknown
        {200, 16666, true},    // a real blank: never held back
        {9000, 16666, true},
    };
    for (const Case& c : cases) {
        int64_t took = run_frames(600, c.work_us, c.period_us, c.real_blank);
        double fps = 600.0 * 1e6 / static_cast<double>(took);
        double rate = 1e6 / static_cast<double>(c.period_us);
        EXPECT_NEAR(fps, rate, rate * 0.02) << c.work_us << " " << c.period_us;
    }
}

TEST(DdrawRules, PacingLetsSlowFramesGo) {
    // Frames that take longer than a refresh are not held back further.
    VsyncPacer pacer{};
    EXPECT_EQ(zq_hVsyncPaceUs(&pacer, 0, 16666), 0);
    EXPECT_EQ(zq_hVsyncPaceUs(&pacer, 20000, 16666), 0);
    EXPECT_EQ(zq_hVsyncPaceUs(&pacer, 30000, 16666), 6666);  // due at 36666
    // Called again before that frame was due: the one after is due a period later.
    EXPECT_EQ(zq_hVsyncPaceUs(&pacer, 36000, 16666), 17332);
}
}  // namespace
