// The sector demo's drawing: a fan of thin triangles around a centre.
#pragma once

#include <cstdint>

// Draws the sector in one batch of lines and spans per few thousand spans: the
// pixels, dirty rows and last point of DRAW_SEGMENT_PLAIN.
void DRAW_SEGMENT(int32_t X, int32_t Y, int32_t RADIUS, int32_t ASTART, int32_t AEND,
                  int32_t STEPSIZE, uint8_t RED, uint8_t GREEN, uint8_t BLUE);

// The reference: every outline line and every span its own zq_GfxLine call.
void DRAW_SEGMENT_PLAIN(int32_t X, int32_t Y, int32_t RADIUS, int32_t ASTART, int32_t AEND,
                        int32_t STEPSIZE, uint8_t RED, uint8_t GREEN, uint8_t BLUE);

void REL_TRI_F(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, uint8_t RED,
               uint8_t GREEN, uint8_t BLUE);
