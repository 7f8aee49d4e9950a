// The OpenGL driver's decisions that need no OpenGL: the pixel-format wishes
// and their attribute list, the multisample fallback, the extension string
// and texture sizes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gfx/gfx_internal.h"
#include "gfx/win32/gfx_glrules.h"

namespace {
std::vector<int32_t> attributes(const GLParams& p, int32_t* sample_index = nullptr) {
    int32_t list[ZQ_GL_ATTRIB_MAX];
    int32_t index = zq_hGLBuildAttributes(p, list);
    if (sample_index) *sample_index = index;
    std::vector<int32_t> out;
    for (int32_t i = 0; list[i]; i += 2) out.insert(out.end(), {list[i], list[i + 1]});
    return out;
}

GLParams normalized(int32_t flags, int32_t depth, GLParams p = {}) {
    zq_hGLNormalize(&p, flags, depth);
    return p;
}

TEST(GLRules, WishesAndTheirAttributeList) {
    using namespace WglAttr;
    GLParams components{};
    components.red_bits = 5, components.green_bits = 6, components.blue_bits = 5;
    components.depth_bits = 24;
    GLParams bad{};
    bad.color_bits = -40;  // nonsense wishes pick the smallest class, not a table outside
    bad.accum_bits = INT32_MAX;
    const int32_t all =
        DriverFlags::AccumBuffer | DriverFlags::StencilBuffer | DriverFlags::Multisample;
    struct Case {
        GLParams p;
        std::vector<int32_t> list;  // after the fixed window, acceleration and double buffer
        int32_t samples;            // the value at the sample index, -1 for none
    } cases[] = {
        {normalized(0, 32), {32, 8, 8, 8, 8, 16}, -1},
        {normalized(0, 16), {16, 5, 5, 5, 0, 16}, -1},  // the alpha pair stays, with 0
        {normalized(0, 32, components), {16, 5, 6, 5, 0, 24}, -1},
        // clang-format off
        {normalized(all, 32), {32, 8, 8, 8, 8, 16, AccumBits, 32, AccumRedBits, 8, AccumGreenBits, 8,
          AccumBlueBits, 8, AccumAlphaBits, 8, StencilBits, 8, SampleBuffers, 1, Samples, 4}, 4},
        // clang-format on
        {normalized(0, 32, bad),
         {-40, 0, 0, 0, 0, 16, AccumBits, INT32_MAX, AccumRedBits, 8, AccumGreenBits, 8,
          AccumBlueBits, 8, AccumAlphaBits, 8},
         -1},
    };
    for (const Case& c : cases) {
        std::vector<int32_t> want = {DrawToWindow, 1, Acceleration, FullAcceleration,
                                     DoubleBuffer, 1};
        const int32_t colour[] = {ColorBits, RedBits, GreenBits, BlueBits, AlphaBits, DepthBits};
        for (size_t i = 0; i < c.list.size(); ++i) {
            if (i < 6) want.push_back(colour[i]);
            want.push_back(c.list[i]);
        }
        int32_t index;
        std::vector<int32_t> list = attributes(c.p, &index);
        EXPECT_EQ(list, want);
        EXPECT_EQ(index < 0 ? -1 : list[static_cast<size_t>(index)], c.samples);
    }
}

TEST(GLRules, WishesAreKeptForLaterOpenings) {
    GLParams p = normalized(DriverFlags::Multisample, 16);
    GLParams again = normalized(0, 32, p);
    EXPECT_EQ(std::memcmp(&p, &again, sizeof p), 0);
}

struct ChooserLog {
    std::vector<int32_t> samples_tried;
    int32_t finds_at;  // the sample count that finds a format; -100 for none
    int32_t format;
};

bool fake_choose(const int32_t* attribs, void* context, int32_t* format, uint32_t* found) {
    auto* log = static_cast<ChooserLog*>(context);
    int32_t samples = -1;
    for (int32_t i = 0; attribs[i]; i += 2) {
        if (attribs[i] == WglAttr::Samples) samples = attribs[i + 1];
    }
    log->samples_tried.push_back(samples);
    bool hit = samples == log->finds_at;
    *format = hit ? log->format : 0;
    *found = hit ? 1 : 0;
    return true;
}

TEST(GLRules, MultisampleFallback) {
    struct Case {
        int32_t wish;  // samples asked for, 0 for none
        int32_t finds_at, format;
        std::vector<int32_t> tried;
        int32_t result;
    } cases[] = {
        {4, -100, 7, {4, 2, 0}, 0},  // never found: the classic choice decides
        {4, 2, 7, {4, 2}, 7},       {3, -100, 7, {3, 1}, 0},
        {0, -1, 9, {-1}, 9},        {4, 4, 0, {4}, 0},  // found, but format 0: classic, no retry
    };
    for (const Case& c : cases) {
        GLParams p = normalized(0, 32);
        p.num_samples = c.wish;
        int32_t list[ZQ_GL_ATTRIB_MAX];
        int32_t index = zq_hGLBuildAttributes(p, list);
        ChooserLog log{{}, c.finds_at, c.format};
        EXPECT_EQ(zq_hGLChooseArbFormat(list, index, fake_choose, &log), c.result) << c.wish;
        EXPECT_EQ(log.samples_tried, c.tried) << c.wish;
    }
}

// Names are looked up whole in the joined list, which a small buffer cuts short.
TEST(GLRules, ExtensionsJoinWithoutMergingNames) {
    struct Case {
        const char *gl, *wgl;
        size_t size;
        std::string joined;
        const char* name;
        int32_t found;
    } cases[] = {
        {"GL_EXT_bgra_x GL_A", "WGL_C", 64, "GL_EXT_bgra_x GL_A WGL_C", "GL_EXT_bgra", 0},
        {"GL_A GL_EXT_bgra ", "WGL_C ", 64, "GL_A GL_EXT_bgra WGL_C ", "GL_EXT_bgra", 1},
        {"GL_A", nullptr, 64, "GL_A", "GL_A", 1},
        {nullptr, "WGL_C", 64, "WGL_C", "", 0},
        {"GL_A GL_B ", "WGL_C ", 8, "GL_A GL", "GL_A", 1},
    };
    for (const Case& c : cases) {
        char out[64];
        std::memset(out, 'x', sizeof out);
        zq_hGLJoinExtensions(out, c.size, c.gl, c.wgl);
        EXPECT_EQ(std::string(out), c.joined);
        EXPECT_EQ(zq_hGLExtensionIn(out, c.name), c.found) << c.joined;
    }
    EXPECT_EQ(zq_hGLExtensionIn(nullptr, "GL_A"), 0);
}

TEST(GLRules, NextPowerOfTwo) {
    struct Case {
        int32_t n, pow2;
    } cases[] = {{3, 4}, {1024, 1024}, {1 << 30, 1 << 30}, {-5, 0}, {(1 << 30) + 1, 0}};
    for (const Case& c : cases) EXPECT_EQ(zq_hGLNextPow2(c.n), c.pow2) << c.n;
}

}  // namespace
