#include "gfx/win32/gfx_opengl.h"

#include <cstdlib>
#include <cstring>

#include "gfx/gfx_internal.h"

GLState __zq_gl;

namespace {
constexpr uint32_t kExtensions = 0x1F03;
constexpr uint32_t kProjection = 0x1701, kModelView = 0x1700;
constexpr uint32_t kFlat = 0x1D00, kDepthTest = 0x0B71, kColorBufferBit = 0x4000;
constexpr uint32_t kTexture2D = 0x0DE1, kRgba = 0x1908, kBgra = 0x80E1, kUnsignedByte = 0x1401;
// Integer coordinates fall inside pixels, not on their edges.
constexpr double kPixelShift = 0.325;

constexpr const char* kEntryPoints[ZQ_GL_ENTRY_POINTS + 1] = {
    "glEnable",         "glDisable",      "glGetString",  "glViewport",
    "glMatrixMode",     "glLoadIdentity", "glOrtho",      "glShadeModel",
    "glDepthMask",      "glClearColor",   "glClear",      "glGenTextures",
    "glDeleteTextures", "glBindTexture",  "glTexImage2D", nullptr};

template <typename Fn>
void bind(Fn* slot, void* entry) {
    *slot = reinterpret_cast<Fn>(entry);
}

void bind_all(void* const* e) {
    GLState& g = __zq_gl;
    bind(&g.glEnable, e[0]);
    bind(&g.glDisable, e[1]);
    bind(&g.glGetString, e[2]);
    bind(&g.glViewport, e[3]);
    bind(&g.glMatrixMode, e[4]);
    bind(&g.glLoadIdentity, e[5]);
    bind(&g.glOrtho, e[6]);
    bind(&g.glShadeModel, e[7]);
    bind(&g.glDepthMask, e[8]);
    bind(&g.glClearColor, e[9]);
    bind(&g.glClear, e[10]);
    bind(&g.glGenTextures, e[11]);
    bind(&g.glDeleteTextures, e[12]);
    bind(&g.glBindTexture, e[13]);
    bind(&g.glTexImage2D, e[14]);
}

int32_t image_side(const void* image, size_t offset) {
    int32_t v;
    std::memcpy(&v, static_cast<const uint8_t*>(image) + offset, sizeof v);
    return v;
}
}  // namespace

int32_t zq_hGL_Init(void* library, const char* wgl_extensions) {
    std::memset(&__zq_gl, 0, sizeof __zq_gl);
    void* entries[ZQ_GL_ENTRY_POINTS];
    if (zq_hDynLoadAlso(library, kEntryPoints, entries, ZQ_GL_ENTRY_POINTS) != 0) return -1;
    bind_all(entries);
    const char* gl = reinterpret_cast<const char*>(__zq_gl.glGetString(kExtensions));
    zq_hGLJoinExtensions(__zq_gl.extensions, sizeof __zq_gl.extensions, gl, wgl_extensions);
    return zq_hGL_ExtensionSupported("GL_EXT_bgra") ? 0 : -1;
}

int32_t zq_hGL_ExtensionSupported(const char* name) {
    return zq_hGLExtensionIn(__zq_gl.extensions, name);
}

void zq_hGL_SetupProjection() {
    const GfxState* s = __zq_gfx;
    const GLState& g = __zq_gl;
    if (!s || !g.glViewport) return;
    g.glViewport(0, 0, s->width, s->height);
    g.glMatrixMode(kProjection);
    g.glLoadIdentity();
    // y grows downward, as on the framebuffer.
    g.glOrtho(-kPixelShift, s->width - kPixelShift, s->height - kPixelShift, -kPixelShift, -1.0,
              1.0);
    g.glMatrixMode(kModelView);
    g.glLoadIdentity();
    g.glShadeModel(kFlat);
    g.glDisable(kDepthTest);
    g.glDepthMask(0);
    g.glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    g.glClear(kColorBufferBit);
}

void zq_hGL_SetState(int32_t state) {
    int32_t old = __zq_gl.state;
    __zq_gl.state = state;
    if (((old ^ state) & 1) == 0 || !__zq_gl.glEnable) return;
    if (state & 1) {
        __zq_gl.glEnable(kTexture2D);
    } else {
        __zq_gl.glDisable(kTexture2D);
    }
}

uint32_t zq_hGL_ImageCreate(const void* image, uint32_t color) {
    const GLState& g = __zq_gl;
    if (!image || !g.glGenTextures) return 0;
    int32_t w2 = zq_hGLNextPow2(image_side(image, 8));
    int32_t h2 = zq_hGLNextPow2(image_side(image, 12));
    if (w2 == 0 || h2 == 0) return 0;
    size_t pixels = static_cast<size_t>(w2) * static_cast<size_t>(h2);
    if (pixels > SIZE_MAX / 4) return 0;
    auto* buffer = static_cast<uint32_t*>(std::calloc(pixels, 4));
    if (!buffer) return 0;
    // Texture pixels are 32-bit whatever the screen's depth.
    zq_hPixelSet4(buffer, static_cast<int>(color), pixels);
    uint32_t name = 0;
    g.glGenTextures(1, &name);
    g.glBindTexture(kTexture2D, name);
    g.glTexImage2D(kTexture2D, 0, kRgba, w2, h2, 0, kBgra, kUnsignedByte, buffer);
    std::free(buffer);
    return name;
}

void zq_hGL_ImageDestroy(uint32_t name) {
    if (__zq_gl.glDeleteTextures) __zq_gl.glDeleteTextures(1, &name);
}
