// The graphics library's public entry points.
#pragma once

#include <cstdint>

#include "runtime/zq_rt.h"

int32_t zq_GfxScreen(int32_t mode, int32_t depth, int32_t num_pages, int32_t flags,
                     int32_t refresh_rate);
int32_t zq_GfxScreenRes(int32_t w, int32_t h, int32_t depth, int32_t num_pages, int32_t flags,
                        int32_t refresh_rate);
int32_t zq_GfxWaitVSync();
void zq_GfxLine(void* target, float x1, float y1, float x2, float y2, uint32_t color, int32_t type,
                uint32_t style, int32_t flags);
// An OpenGL entry point for the program's own drawing, by name; null unless
// the open screen is an OpenGL one (Windows builds only).
void* zq_GfxGetGLProcAddress(const char* name);
