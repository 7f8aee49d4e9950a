// One full-circle sector (radius 300, 72 triangles) on the Null driver.
#include <benchmark/benchmark.h>

#include "demo/sector.h"
#include "zq/zq_gfx.h"

static void BM_DrawSegmentFullCircle(benchmark::State& state) {
    zq_GfxScreen(18, 32, 0, -1, 0);
    for (auto _ : state) DRAW_SEGMENT(320, 240, 300, 0, 360, 5, 136, 84, 84);
    state.SetItemsProcessed(state.iterations());
    zq_GfxScreen(0, 0, 0, 0, 0);
}
BENCHMARK(BM_DrawSegmentFullCircle)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
