// The OpenGL driver's decisions that need no Windows or OpenGL headers, kept
// apart so that the host tests check them: the pixel-format wishes and their
// defaults, the attribute list for the format choice and its multisample
// fallback, the extension string and its queries.
#pragma once

#include <cstddef>
#include <cstdint>

// Pixel-format wishes; 0 = not specified. Zero at program start; filled by the
// first opening and kept for later ones.
struct GLParams {
    int32_t color_bits;
    int32_t red_bits, green_bits, blue_bits, alpha_bits;
    int32_t depth_bits;
    int32_t stencil_bits;
    int32_t accum_bits;
    int32_t accum_red_bits, accum_green_bits, accum_blue_bits, accum_alpha_bits;
    int32_t num_samples;
};

extern GLParams __zq_gl_params;

// Fills the unspecified wishes of `p` for a screen of `depth` bits and the
// DriverFlags `flags` (StencilBuffer, AccumBuffer, Multisample).
void zq_hGLNormalize(GLParams* p, int32_t flags, int32_t depth);
// The same on __zq_gl_params for the open screen.
void zq_hGL_NormalizeParameters(int32_t flags);

// WGL_ARB_pixel_format attribute names.
namespace WglAttr {
inline constexpr int32_t DrawToWindow = 0x2001, Acceleration = 0x2003, DoubleBuffer = 0x2011,
                         FullAcceleration = 0x2027;
inline constexpr int32_t ColorBits = 0x2014, RedBits = 0x2015, GreenBits = 0x2017,
                         BlueBits = 0x2019, AlphaBits = 0x201B, AccumBits = 0x201D,
                         AccumRedBits = 0x201E, AccumGreenBits = 0x201F, AccumBlueBits = 0x2020,
                         AccumAlphaBits = 0x2021, DepthBits = 0x2022, StencilBits = 0x2023,
                         SampleBuffers = 0x2041, Samples = 0x2042;
}  // namespace WglAttr

// 256 bytes of name/value pairs, ended by 0.
inline constexpr int32_t ZQ_GL_ATTRIB_MAX = 64;

// Writes the attribute list for `p` into `list` (ZQ_GL_ATTRIB_MAX entries).
// Returns the index of the sample count's value, or -1 when the list asks
// for no multisampling.
int32_t zq_hGLBuildAttributes(const GLParams& p, int32_t* list);

// One call of the system's format choice: true when it succeeded, with
// *format and *found set.
using GLFormatChooser = bool (*)(const int32_t* attribs, void* context, int32_t* format,
                                 uint32_t* found);

// Asks `choose` for a format, lowering the sample count (at `sample_index`,
// -1 for none) by 2 after each refusal while it stays at or above 0. Returns
// the format, or 0 when the classic choice must decide. The sample count left
// in the list is the one that found the format.
int32_t zq_hGLChooseArbFormat(int32_t* attribs, int32_t sample_index, GLFormatChooser choose,
                              void* context);

// The extension buffer: the OpenGL string, then the WGL one, cut to fit
// `size` bytes (always terminated). A separating space goes between them
// when the first does not end with one, so neither list's edge names merge.
void zq_hGLJoinExtensions(char* out, size_t size, const char* gl, const char* wgl);
// 1 when `name` is one of the space-separated names of `list`, else 0. A
// match counts when the name is followed by a space or the end of the list.
int32_t zq_hGLExtensionIn(const char* list, const char* name);

// The smallest power of two >= n for n from 1 to 2^30; 0 outside that range.
int32_t zq_hGLNextPow2(int32_t n);
