// Line drawing speed in pixels per second: random lines inside a 640 x 480
// screen without a display, as the sector demo draws them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "zq/zq_gfx.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

struct Line {
    float x1, y1, x2, y2;
    int64_t pixels;
};

std::vector<Line> make_lines(bool horizontal) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> col(0, kWidth - 1), row(0, kHeight - 1);
    std::vector<Line> lines(4096);
    for (Line& l : lines) {
        const int x1 = col(rng), y1 = row(rng), x2 = col(rng);
        const int y2 = horizontal ? y1 : row(rng);
        l = Line{float(x1), float(y1), float(x2), float(y2),
                 int64_t{std::max(std::abs(x2 - x1), std::abs(y2 - y1)) + 1}};
    }
    return lines;
}

void run_lines(benchmark::State& state, bool horizontal, uint32_t style) {
    if (zq_GfxScreenRes(kWidth, kHeight, 32, 0, -1, 0) != 0) {
        state.SkipWithError("no screen");
        return;
    }
    const std::vector<Line> lines = make_lines(horizontal);
    int64_t pixels = 0;
    size_t i = 0;
    for (auto _ : state) {
        const Line& l = lines[i++ & (lines.size() - 1)];
        zq_GfxLine(nullptr, l.x1, l.y1, l.x2, l.y2, 0xFF000000u | uint32_t(i), 0, style, 0);
        pixels += l.pixels;
    }
    state.SetItemsProcessed(pixels);
    zq_GfxScreen(0, 0, 0, 0, 0);
}

void BM_RandomLinesSolid(benchmark::State& state) {
    run_lines(state, false, 0xFFFF);
}
void BM_RandomLinesStyled(benchmark::State& state) {
    run_lines(state, false, 0xF0F0);
}
void BM_HorizontalSpansSolid(benchmark::State& state) {
    run_lines(state, true, 0xFFFF);
}

BENCHMARK(BM_RandomLinesSolid);
BENCHMARK(BM_RandomLinesStyled);
BENCHMARK(BM_HorizontalSpansSolid);

}  // namespace

BENCHMARK_MAIN();
