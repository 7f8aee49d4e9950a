// The OpenGL support layer: the OpenGL 1.1 entry points the driver and its
// drawing code use, loaded by name at run time; the extension string; a
// pixel-exact 2-D projection; texture state and image textures.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gfx/win32/gfx_glrules.h"

struct GLState {
    void(WINAPI* glEnable)(uint32_t cap);
    void(WINAPI* glDisable)(uint32_t cap);
    const unsigned char*(WINAPI* glGetString)(uint32_t name);
    void(WINAPI* glViewport)(int32_t x, int32_t y, int32_t w, int32_t h);
    void(WINAPI* glMatrixMode)(uint32_t mode);
    void(WINAPI* glLoadIdentity)();
    void(WINAPI* glOrtho)(double left, double right, double bottom, double top, double near_z,
                          double far_z);
    void(WINAPI* glShadeModel)(uint32_t mode);
    void(WINAPI* glDepthMask)(unsigned char flag);
    void(WINAPI* glClearColor)(float r, float g, float b, float a);
    void(WINAPI* glClear)(uint32_t mask);
    void(WINAPI* glGenTextures)(int32_t n, uint32_t* names);
    void(WINAPI* glDeleteTextures)(int32_t n, const uint32_t* names);
    void(WINAPI* glBindTexture)(uint32_t target, uint32_t name);
    void(WINAPI* glTexImage2D)(uint32_t target, int32_t level, int32_t internal_format, int32_t w,
                               int32_t h, int32_t border, uint32_t format, uint32_t type,
                               const void* pixels);
    int32_t state;  // bit 0: 2-D texturing on
    char extensions[16384];
};
inline constexpr int32_t ZQ_GL_ENTRY_POINTS = 15;

extern GLState __zq_gl;

// Loads the entry points from `library` and builds the extension string.
// 0 = ready; non-zero when an entry point or GL_EXT_bgra (the textures are
// in BGRA order) is missing.
int32_t zq_hGL_Init(void* library, const char* wgl_extensions);
int32_t zq_hGL_ExtensionSupported(const char* name);
void zq_hGL_SetupProjection();
void zq_hGL_SetState(int32_t state);
// A texture the size of `image` (rounded up to powers of two) filled with
// `color`; 0 when the image's size is out of range or memory is short.
uint32_t zq_hGL_ImageCreate(const void* image, uint32_t color);
void zq_hGL_ImageDestroy(uint32_t name);
void* zq_hGL_GetProcAddress(const char* name);
