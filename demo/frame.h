// One frame of the sector demo: eight random draws, then one sector.
#pragma once

#include <cstdint>

struct SectorParams {
    int32_t X, Y, RADIUS, ASTART, AEND;
    uint8_t RED, GREEN, BLUE;
};

inline constexpr int32_t STEPSIZE = 5;

// Draws the next frame's parameters from the runtime's generator, last
// parameter of DRAW_SEGMENT first.
SectorParams DRAW_PARAMS();

// Draws the parameters and the sector: the loop body of the demo before the
// retrace wait and the key read.
SectorParams DRAW_FRAME();

// The demo's start-up after the runtime is up: opens the 640 x 480 x 32 screen
// and clears it.
void OPEN_DEMO_SCREEN();
