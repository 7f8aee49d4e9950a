// The Win32 drivers' decisions that need no window: vertical-sync pacing, key
// states, the GDI band and conversion, the DirectX mode search and formats,
// the OpenGL pixel-format wishes, extension string and texture sizes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "console/io_input.h"
#include "gfx/gfx_internal.h"
#include "gfx/win32/gfx_ddrawrules.h"
#include "gfx/win32/gfx_glrules.h"
#include "gfx/win32/gfx_winrules.h"

namespace {
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

TEST(WinRules, RefreshPeriodAndPacingOfWaitsThatWaitedForNothing) {
    // 0 and 1 both mean "default rate" (64-bit systems report 1), never a one-second frame.
    const int32_t hz[] = {60, 75, 0, 1, -60, 2, 5000}, ms[] = {16, 13, 16, 16, 16, 500, 0};
    for (int32_t i = 0; i < 7; ++i) EXPECT_EQ(zq_hRefreshPeriodMs(hz[i]), ms[i]) << hz[i];
    EXPECT_EQ(zq_hRefreshPeriodUs(60) + zq_hRefreshPeriodUs(1), 16666 + 16000);
    // rate, blanks every (us), drawing (us), wait succeeds, frames per second
    const std::tuple<int32_t, int64_t, int64_t, bool, double> cases[] = {
        {0, 6944, 1000, true, 144},    // real 144 Hz blanks, rate unknown: never throttled
        {60, 8333, 3000, true, 120},   // 120 Hz reported as 60
        {60, 0, 1000, true, 60},       // the blank comes at once: one refresh apart
        {0, 0, 1000, true, 62.5},      // unknown rate: 16 ms
        {60, 16666, 1000, false, 60},  // a failed wait is paced too
        {60, 0, 25000, true, 40},      // slow frames are not held back further
    };
    for (auto [rate, blank_us, work_us, wait_ok, fps] : cases) {
        EXPECT_NEAR(paced_fps(rate, blank_us, work_us, wait_ok), fps, fps / 50) << blank_us;
    }
}

TEST(WinRules, KeyControlStateAndDirectInputKeyState) {
    using namespace KeyState;
    const std::tuple<std::vector<uint8_t>, bool, int32_t> cases[] = {
        // down, extended, state
        {{}, false, 0},
        {{0xA1}, false, Shift},                       // right Shift alone
        {{0x11, 0xA2}, false, LeftCtrl},              // left Ctrl
        {{0x11, 0xA3}, false, LeftCtrl | RightCtrl},  // right Ctrl: Control is down too
        {{0x12, 0xA5}, true, LeftAlt | RightAlt | Enhanced},
    };
    for (const auto& [down, extended, state] : cases) {
        uint8_t keyboard[256] = {};
        for (uint8_t vk : down) keyboard[vk] = 0x80;
        keyboard[0x41] = 0x01;  // toggled, not down
        EXPECT_EQ(zq_hKeyControlState(keyboard, extended), state);
    }
    // DirectInput: extended keys fold onto their base code (right Ctrl onto left
    // Ctrl, Up onto keypad 8, 0xFF onto 0x7F); each Shift keeps its own code.
    uint8_t device[256] = {}, key_state[128], want[128] = {};
    device[0x10] = 0x7F;  // bit 7 clear: up
    for (int32_t code : {0x9D, 0x36, 0xC8, 0x48, 0x01, 0xFF}) device[code] = 0x80;
    for (int32_t code : {0x1D, 0x36, 0x48, 0x01, 0x7F}) want[code] = 1;
    std::memset(key_state, 9, sizeof key_state);
    zq_hDdrawKeyState(device, key_state);
    EXPECT_EQ(std::memcmp(key_state, want, sizeof want), 0);
}

TEST(WinRules, GdiDirtyBandAndConversion) {
    // dirty lines, line repeat, band (count 0: nothing to draw, the band untouched)
    const std::tuple<std::vector<int32_t>, int32_t, int32_t, int32_t> cases[] = {
        {{}, 1, -1, 0},
        {{100, 101, 102, 300}, 1, 100, 201},
        {{100, 101, 102, 300}, 2, 200, 402},  // display lines of repeated lines
        {{0, 479}, 1, 0, 480}};
    for (const auto& [lines, repeat, first, count] : cases) {
        std::vector<uint8_t> dirty(480, 0);
        for (int32_t line : lines) dirty[static_cast<size_t>(line)] = 1;
        DirtyBand band{-1, 0};
        EXPECT_EQ(zq_hDirtyBand(dirty.data(), 480, repeat, &band), count > 0);
        EXPECT_EQ(band.first * 10000 + band.count, first * 10000 + count);
    }
    using C = GdiConversion;
    const std::tuple<int32_t, int32_t, int32_t, bool, C> conversions[] = {
        {32, 640, 1, false, C::None},        {8, 642, 1, false, C::LineCopy},
        {16, 640, 1, true, C::To555},        {32, 640, 1, true, C::AlphaRemover},
        {8, 640, 1, true, C::None},          {32, 640, 2, false, C::LineCopy},  // lines held once
        {32, 640, 2, true, C::AlphaRemover},
    };
    for (auto [bits, width, line_repeat, shaped, conversion] : conversions) {
        EXPECT_EQ(zq_hGdiConversion(bits, width, line_repeat, shaped), conversion)
            << bits << " bits, width " << width << ", repeat " << line_repeat;
    }
}

// A display that accepts only the modes in `accepts` (" WxHxBITS ...") and
// records every request in `tries` (" WxHxBITS/FLAGS ...").
std::string accepts, tries;

bool fake_set_mode(void*, int32_t w, int32_t h, int32_t bits, int32_t, uint32_t flags) {
    std::string mode = std::to_string(w) + "x" + std::to_string(h) + "x" + std::to_string(bits);
    tries += " " + mode + "/" + std::to_string(flags);
    return accepts.find(" " + mode + " ") != std::string::npos;
}

TEST(DdrawRules, ModeSearchBlitFormatAndModeListDepths) {
    // width, height, bits, modes accepted, height found, modes tried
    const std::tuple<int32_t, int32_t, int32_t, const char*, int32_t, const char*> cases[] = {
        {640, 480, 32, " 640x480x32 ", 480, " 640x480x32/0"},
        {640, 400, 8, " 640x480x8 ", 480, " 640x400x8/0 640x480x8/0"},  // centred lower
        {320, 200, 8, " 320x240x8 ", 240, " 320x200x8/1 320x240x8/0"},  // VGA flag once
        {640, 480, 32, " 640x480x24 ", 480, " 640x480x32/0 640x480x24/0"},
        {800, 600, 15, " 800x600x16 ", 600, " 800x600x15/0 800x600x16/0"},
        {640, 1024, 8, "", -1, " 640x1024x8/0"},  // 8 bits has no twin
        {1600, 1200, 32, "", -1, " 1600x1200x32/0 1600x1200x24/0"},
    };
    for (auto [w, h, bits, accepted, found, tried] : cases) {
        accepts = accepted, tries.clear();
        EXPECT_EQ(zq_hDdrawFindMode(w, h, bits, 0, fake_set_mode, nullptr), found);
        EXPECT_EQ(tries, tried);
    }
    // bits, red and green masks, depth, RGB order
    const std::tuple<int32_t, uint32_t, uint32_t, int32_t, int32_t> formats[] = {
        {32, 0xFF0000, 0x00FF00, 32, 0}, {32, 0x0000FF, 0x00FF00, 32, 1},
        {24, 0x0000FF, 0x00FF00, 24, 1}, {16, 0xF800, 0x07E0, 16, 0},
        {16, 0x001F, 0x07E0, 16, 1},     {16, 0x7C00, 0x03E0, 15, 0},  // 5-5-5 reported as 16
        {16, 0x001F, 0x03E0, 15, 1},     {8, 0, 0, 8, 0},
    };
    for (auto [bits, red, green, depth, rgb] : formats) {
        DdrawBlitFormat f = zq_hDdrawBlitFormat(bits, red, green);
        EXPECT_EQ(f.depth * 2 + f.rgb, depth * 2 + rgb) << bits << " " << red;
    }
    // The GDI mode list: 15 and 16, 24 and 32 stand for each other.
    EXPECT_TRUE(zq_hModeDepthMatches(15, 16) && zq_hModeDepthMatches(32, 24));
    EXPECT_FALSE(zq_hModeDepthMatches(16, 32) || zq_hModeDepthMatches(24, 16));
}

GLParams normalized(int32_t flags, int32_t depth, GLParams p = {}) {
    zq_hGLNormalize(&p, flags, depth);
    return p;
}

TEST(GLRules, WishesAndTheirAttributeList) {
    using namespace WglAttr;
    const int32_t all =
        DriverFlags::AccumBuffer | DriverFlags::StencilBuffer | DriverFlags::Multisample;
    // wishes; the list after the fixed window, acceleration and double buffer; the
    // value at the sample index, -1 for none
    const std::tuple<GLParams, std::vector<int32_t>, int32_t> cases[] = {
        {normalized(0, 32), {32, 8, 8, 8, 8, 16}, -1},
        {normalized(0, 16), {16, 5, 5, 5, 0, 16}, -1},  // the alpha pair stays, with 0
        {normalized(0, 32, {0, 5, 6, 5, 0, 24, 0, 0, 0, 0, 0, 0, 0}), {16, 5, 6, 5, 0, 24}, -1},
        // clang-format off
        {normalized(all, 32), {32, 8, 8, 8, 8, 16, AccumBits, 32, AccumRedBits, 8, AccumGreenBits, 8,
          AccumBlueBits, 8, AccumAlphaBits, 8, StencilBits, 8, SampleBuffers, 1, Samples, 4}, 4},
        // clang-format on
        // Nonsense colour and accumulation sizes pick the smallest class, not a
        // table row outside.
        {normalized(0, 32, {-40, 0, 0, 0, 0, 0, 0, INT32_MAX, 0, 0, 0, 0, 0}),
         {-40, 0, 0, 0, 0, 16, AccumBits, INT32_MAX, AccumRedBits, 8, AccumGreenBits, 8,
          AccumBlueBits, 8, AccumAlphaBits, 8},
         -1},
    };
    for (const auto& [p, tail, samples] : cases) {
        std::vector<int32_t> want = {DrawToWindow, 1, Acceleration, FullAcceleration,
                                     DoubleBuffer, 1};
        const int32_t colour[] = {ColorBits, RedBits, GreenBits, BlueBits, AlphaBits, DepthBits};
        for (size_t i = 0; i < tail.size(); ++i) {
            if (i < 6) want.push_back(colour[i]);
            want.push_back(tail[i]);
        }
        int32_t list[ZQ_GL_ATTRIB_MAX];
        int32_t index = zq_hGLBuildAttributes(p, list), end = 0;
        while (list[end]) end += 2;
        EXPECT_EQ(std::vector<int32_t>(list, list + end), want);
        EXPECT_EQ(index < 0 ? -1 : list[index], samples);
    }
    // The wishes are kept for later openings.
    GLParams p = normalized(DriverFlags::Multisample, 16), again = normalized(0, 32, p);
    EXPECT_EQ(std::memcmp(&p, &again, sizeof p), 0);
}

// A chooser that finds `chooser_format` only with `chooser_finds_at` samples
// (-100: never) and logs the sample counts it was asked for.
std::vector<int32_t> samples_tried;
int32_t chooser_finds_at, chooser_format;

bool fake_choose(const int32_t* attribs, void*, int32_t* format, uint32_t* found) {
    int32_t samples = -1;
    for (int32_t i = 0; attribs[i]; i += 2) {
        if (attribs[i] == WglAttr::Samples) samples = attribs[i + 1];
    }
    samples_tried.push_back(samples);
    *found = samples == chooser_finds_at ? 1 : 0;
    *format = *found ? chooser_format : 0;
    return true;
}

TEST(GLRules, MultisampleFallback) {
    // samples asked for (0: none), samples that find a format, that format,
    // samples tried, the format chosen
    const std::tuple<int32_t, int32_t, int32_t, std::vector<int32_t>, int32_t> cases[] = {
        {4, -100, 7, {4, 2, 0}, 0},  // never found: the classic choice decides
        {4, 2, 7, {4, 2}, 7},       {3, -100, 7, {3, 1}, 0},
        {0, -1, 9, {-1}, 9},        {4, 4, 0, {4}, 0},  // found, but format 0: classic, no retry
    };
    for (const auto& [wish, finds_at, format, tried, result] : cases) {
        GLParams p = normalized(0, 32);
        p.num_samples = wish;
        int32_t list[ZQ_GL_ATTRIB_MAX];
        int32_t index = zq_hGLBuildAttributes(p, list);
        samples_tried.clear(), chooser_finds_at = finds_at, chooser_format = format;
        EXPECT_EQ(zq_hGLChooseArbFormat(list, index, fake_choose, nullptr), result) << wish;
        EXPECT_EQ(samples_tried, tried) << wish;
    }
}

// Names are looked up whole in the joined list, which a small buffer cuts short.
TEST(GLRules, ExtensionsJoinWithoutMergingNames) {
    // the two lists, the buffer size, the joined list, a name looked up, found
    const std::tuple<const char*, const char*, size_t, std::string, const char*, int32_t> cases[] =
        {
            {"GL_EXT_bgra_x GL_A", "WGL_C", 64, "GL_EXT_bgra_x GL_A WGL_C", "GL_EXT_bgra", 0},
            {"GL_A GL_EXT_bgra ", "WGL_C ", 64, "GL_A GL_EXT_bgra WGL_C ", "GL_EXT_bgra", 1},
            {"GL_A", nullptr, 64, "GL_A", "GL_A", 1},
            {nullptr, "WGL_C", 64, "WGL_C", "", 0},
            {"GL_A GL_B ", "WGL_C ", 8, "GL_A GL", "GL_A", 1},
        };
    for (const auto& [gl, wgl, size, joined, name, found] : cases) {
        char out[64];
        std::memset(out, 'x', sizeof out);
        zq_hGLJoinExtensions(out, size, gl, wgl);
        EXPECT_EQ(std::string(out), joined);
        EXPECT_EQ(zq_hGLExtensionIn(out, name), found) << joined;
    }
    EXPECT_EQ(zq_hGLExtensionIn(nullptr, "GL_A"), 0);
}

TEST(GLRules, NextPowerOfTwo) {
    const int32_t n[] = {3, 1024, 1 << 30, -5, (1 << 30) + 1}, pow2[] = {4, 1024, 1 << 30, 0, 0};
    for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(zq_hGLNextPow2(n[i]), pow2[i]) << n[i];
}
}  // namespace
