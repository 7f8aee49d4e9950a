// One full-circle sector (radius 300, 72 triangles) on the Null driver, batched
// and a call per line.
#include <benchmark/benchmark.h>

#include <vector>

#include "demo/frame.h"
#include "demo/sector.h"
#include "zq/zq_gfx.h"

template <void (*draw)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, uint8_t, uint8_t,
                       uint8_t)>
static void BM_FullCircle(benchmark::State& state) {
    zq_GfxScreen(18, 32, 0, -1, 0);
    for (auto _ : state) draw(320, 240, 300, 0, 360, 5, 136, 84, 84);
    state.SetItemsProcessed(state.iterations());
    zq_GfxScreen(0, 0, 0, 0, 0);
}
BENCHMARK(BM_FullCircle<DRAW_SEGMENT>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullCircle<DRAW_SEGMENT_PLAIN>)->Unit(benchmark::kMicrosecond);

// The demo's own sequence of frames (about half of them draw nothing).
template <void (*draw)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, uint8_t, uint8_t,
                       uint8_t)>
static void BM_DemoFrames(benchmark::State& state) {
    zq_GfxScreen(18, 32, 0, -1, 0);
    std::vector<SectorParams> frames(2000);
    for (SectorParams& p : frames) p = DRAW_PARAMS();
    for (auto _ : state) {
        for (const SectorParams& p : frames) {
            draw(p.X, p.Y, p.RADIUS, p.ASTART, p.AEND, STEPSIZE, p.RED, p.GREEN, p.BLUE);
        }
    }
    state.SetItemsProcessed(state.iterations() * 2000);
    zq_GfxScreen(0, 0, 0, 0, 0);
}
BENCHMARK(BM_DemoFrames<DRAW_SEGMENT>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DemoFrames<DRAW_SEGMENT_PLAIN>)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
