// Printing speed in characters per second on a 640 x 480 screen without a
// display with the 8 x 16 font: full lines that scroll the screen, at each
// pixel size.
#include <benchmark/benchmark.h>

#include <string>

#include "runtime/zq_rt.h"
#include "zq/zq_gfx.h"

namespace {
void print_lines(benchmark::State& state) {
    const auto depth = static_cast<int32_t>(state.range(0));
    if (zq_GfxScreen(18, depth, 1, -1, 0) != 0) {
        state.SkipWithError("no screen");
        return;
    }
    std::string line;
    for (int i = 0; i < 79; ++i) line += static_cast<char>('!' + i);
    line += '\n';
    for (auto _ : state) zq_PrintBufferEx(line.data(), static_cast<int32_t>(line.size()), 0);
    state.SetItemsProcessed(state.iterations() * 79);
    zq_GfxScreen(0, 0, 0, 0, 0);
}
BENCHMARK(print_lines)->Arg(8)->Arg(16)->Arg(32);
}  // namespace

BENCHMARK_MAIN();
