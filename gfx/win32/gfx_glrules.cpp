#include "gfx/win32/gfx_glrules.h"

#include <cstring>

#include "gfx/gfx_internal.h"

GLParams __zq_gl_params;

namespace {
constexpr int32_t kRgb[4] = {0, 5, 8, 8};
constexpr int32_t kAlpha[4] = {0, 0, 0, 8};

// The size class of a bit count: 0..3 for up to 8, 16, 24 and more bits;
// -1 for none. Wide arithmetic: the wishes are the program's values.
int32_t size_class(int32_t bits) {
    int64_t k = (static_cast<int64_t>(bits) + 7) / 8 - 1;
    return k > 3 ? 3 : (k < -1 ? -1 : static_cast<int32_t>(k));
}

void default_to(int32_t* field, int32_t value) {
    if (*field == 0) *field = value;
}

int32_t sum(int32_t a, int32_t b, int32_t c, int32_t d) {
    int64_t total = static_cast<int64_t>(a) + b + c + d;
    return total > INT32_MAX ? INT32_MAX : (total < INT32_MIN ? INT32_MIN : int32_t(total));
}
}  // namespace

void zq_hGLNormalize(GLParams* p, int32_t flags, int32_t depth) {
    if (p->color_bits == 0) {
        p->color_bits = sum(p->red_bits, p->green_bits, p->blue_bits, p->alpha_bits);
        default_to(&p->color_bits, depth);
    }
    // A screen of fewer than 8 bits still asks for the smallest colour class.
    int32_t k = size_class(p->color_bits);
    if (k < 0) k = 0;
    default_to(&p->red_bits, kRgb[k]);
    default_to(&p->green_bits, kRgb[k]);
    default_to(&p->blue_bits, kRgb[k]);
    default_to(&p->alpha_bits, kAlpha[k]);

    default_to(&p->accum_bits, sum(p->accum_red_bits, p->accum_green_bits, p->accum_blue_bits,
                                   p->accum_alpha_bits));
    k = size_class(p->accum_bits);
    if (k < 0 && (flags & DriverFlags::AccumBuffer)) {
        p->accum_bits = 32;
        k = 3;
    }
    if (k >= 0) {
        default_to(&p->accum_red_bits, kRgb[k]);
        default_to(&p->accum_green_bits, kRgb[k]);
        default_to(&p->accum_blue_bits, kRgb[k]);
        default_to(&p->accum_alpha_bits, kAlpha[k]);
    }

    default_to(&p->depth_bits, 16);
    if (flags & DriverFlags::StencilBuffer) default_to(&p->stencil_bits, 8);
    if (flags & DriverFlags::Multisample) default_to(&p->num_samples, 4);
}

void zq_hGL_NormalizeParameters(int32_t flags) {
    const GfxState* s = __zq_gfx;
    zq_hGLNormalize(&__zq_gl_params, flags, s ? s->depth : 0);
}

int32_t zq_hGLBuildAttributes(const GLParams& p, int32_t* list) {
    int32_t n = 0;
    auto add = [&](int32_t name, int32_t value) {
        list[n++] = name;
        list[n++] = value;
    };
    add(WglAttr::DrawToWindow, 1);
    add(WglAttr::Acceleration, WglAttr::FullAcceleration);
    add(WglAttr::DoubleBuffer, 1);
    add(WglAttr::ColorBits, p.color_bits);
    add(WglAttr::RedBits, p.red_bits);
    add(WglAttr::GreenBits, p.green_bits);
    add(WglAttr::BlueBits, p.blue_bits);
    add(WglAttr::AlphaBits, p.alpha_bits);
    add(WglAttr::DepthBits, p.depth_bits);
    const int32_t optional[][2] = {
        {WglAttr::AccumBits, p.accum_bits},
        {WglAttr::AccumRedBits, p.accum_red_bits},
        {WglAttr::AccumGreenBits, p.accum_green_bits},
        {WglAttr::AccumBlueBits, p.accum_blue_bits},
        {WglAttr::AccumAlphaBits, p.accum_alpha_bits},
        {WglAttr::StencilBits, p.stencil_bits},
    };
    for (const auto& pair : optional) {
        if (pair[1]) add(pair[0], pair[1]);
    }
    int32_t sample_index = -1;
    if (p.num_samples) {
        add(WglAttr::SampleBuffers, 1);
        add(WglAttr::Samples, p.num_samples);
        sample_index = n - 1;
    }
    list[n] = 0;
    return sample_index;
}

int32_t zq_hGLChooseArbFormat(int32_t* attribs, int32_t sample_index, GLFormatChooser choose,
                              void* context) {
    for (;;) {
        int32_t format = 0;
        uint32_t found = 0;
        if (choose(attribs, context, &format, &found) && found > 0) return format;
        if (sample_index < 0 || attribs[sample_index] < 2) return 0;
        attribs[sample_index] -= 2;
    }
}

void zq_hGLJoinExtensions(char* out, size_t size, const char* gl, const char* wgl) {
    if (size == 0) return;
    size_t n = 0;
    auto append = [&](const char* text) {
        for (; text && *text && n + 1 < size; ++text) out[n++] = *text;
    };
    append(gl);
    if (wgl && *wgl && n > 0 && out[n - 1] != ' ') append(" ");
    append(wgl);
    out[n] = '\0';
}

int32_t zq_hGLExtensionIn(const char* list, const char* name) {
    if (!list || !name || !*name) return 0;
    size_t len = std::strlen(name);
    for (const char* at = std::strstr(list, name); at; at = std::strstr(at + 1, name)) {
        char after = at[len];
        if (after == ' ' || after == '\0') return 1;
    }
    return 0;
}

int32_t zq_hGLNextPow2(int32_t n) {
    if (n < 1 || n > (1 << 30)) return 0;
    uint32_t v = static_cast<uint32_t>(n) - 1;
    v |= v >> 1;
    v |= v >> 2;
    v |= v >> 4;
    v |= v >> 8;
    v |= v >> 16;
    return static_cast<int32_t>(v + 1);
}
