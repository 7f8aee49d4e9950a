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
// One line of a batch, between whole pixels in the caller's coordinates.
struct ZqGfxSegment {
    int32_t x1, y1, x2, y2;
};
// Solid lines in one colour: the pixels, dirty rows and last point of zq_GfxLine(target, x1, y1,
// x2, y2, color, 0, 0xFFFF, 0) for each segment in turn, written once per row under one lock.
void zq_GfxLineBatch(void* target, const ZqGfxSegment* segments, int32_t count, uint32_t color);
// An OpenGL entry point for the program's own drawing, by name; null unless
// the open screen is an OpenGL one (Windows builds only).
void* zq_GfxGetGLProcAddress(const char* name);
