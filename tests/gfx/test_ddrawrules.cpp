// The DirectX driver's decisions that need no DirectDraw: the full-screen mode
// search against displays that refuse modes, the blitter format from a
// display's masks and the vertical-blank pacing. (The key state and the mode
// list are checked end to end.)
#include <gtest/gtest.h>

#include <string>

#include "gfx/win32/gfx_ddrawrules.h"

namespace {
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

TEST(DdrawRules, BlitFormatFromMasks) {
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
}

// The rate over many frames is watched end to end; here the corner cases:
// frames that take longer than a refresh are not held back further.
TEST(DdrawRules, PacingLetsLateFramesThrough) {
    VsyncPacer pacer{};
    EXPECT_EQ(zq_hVsyncPaceUs(&pacer, 0, 16666), 0);
    EXPECT_EQ(zq_hVsyncPaceUs(&pacer, 20000, 16666), 0);
    EXPECT_EQ(zq_hVsyncPaceUs(&pacer, 30000, 16666), 6666);  // due at 36666
    // Called again before that frame was due: the one after is due a period later.
    EXPECT_EQ(zq_hVsyncPaceUs(&pacer, 36000, 16666), 17332);
}
}  // namespace
