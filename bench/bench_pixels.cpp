// Filling 32-bit pixels: the plain and MMX pixel_set routines against memset
// and std::fill of the same bytes, for one 640-pixel row and a whole 640 x 480
// screen. The *_vs_memset runs report the share of memset's bandwidth directly.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "gfx/gfx_internal.h"

namespace {

constexpr size_t kSpan = 640;
constexpr size_t kScreen = 640 * 480;
constexpr uint32_t kColor = 0xFF336699;

template <void (*Fill)(uint32_t*, size_t)>
void run_fill(benchmark::State& state) {
    const auto count = static_cast<size_t>(state.range(0));
    std::vector<uint32_t> pixels(count);
    for (auto _ : state) {
        Fill(pixels.data(), count);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(count * 4));
}

void fill_memset(uint32_t* p, size_t n) {
    std::memset(p, 0x5A, n * 4);
}
void fill_std(uint32_t* p, size_t n) {
    std::fill(p, p + n, kColor);
}
void fill_plain(uint32_t* p, size_t n) {
    zq_hPixelSet4(p, static_cast<int>(kColor), n);
}
void fill_mmx(uint32_t* p, size_t n) {
    zq_hPixelSet4MMX(p, static_cast<int>(kColor), n);
}

// Times the fill and memset in alternating batches of the same run, so that
// both see the same machine load; reports the fill's bandwidth as a share of
// memset's (1.0 = as fast as memset).
template <void (*Fill)(uint32_t*, size_t)>
void run_ratio(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const auto count = static_cast<size_t>(state.range(0));
    const int batch = count > 10000 ? 20 : 2000;
    std::vector<uint32_t> pixels(count);
    Clock::duration fill_time{}, memset_time{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (int i = 0; i < batch; ++i) {
            fill_memset(pixels.data(), count);
            benchmark::ClobberMemory();
        }
        auto t1 = Clock::now();
        for (int i = 0; i < batch; ++i) {
            Fill(pixels.data(), count);
            benchmark::ClobberMemory();
        }
        auto t2 = Clock::now();
        memset_time += t1 - t0;
        fill_time += t2 - t1;
        state.SetIterationTime(std::chrono::duration<double>(t2 - t1).count());
    }
    state.counters["vs_memset"] =
        std::chrono::duration<double>(memset_time) / std::chrono::duration<double>(fill_time);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * batch *
                            static_cast<int64_t>(count * 4));
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(kSpan)->Arg(kScreen);
}

}  // namespace

BENCHMARK(run_fill<fill_memset>)->Name("memset")->Apply(sizes);
BENCHMARK(run_fill<fill_std>)->Name("std_fill")->Apply(sizes);
BENCHMARK(run_fill<fill_plain>)->Name("PixelSet4")->Apply(sizes);
BENCHMARK(run_fill<fill_mmx>)->Name("PixelSet4MMX")->Apply(sizes);

BENCHMARK(run_ratio<fill_plain>)->Name("PixelSet4_vs_memset")->Apply(sizes)->UseManualTime();
BENCHMARK(run_ratio<fill_mmx>)->Name("PixelSet4MMX_vs_memset")->Apply(sizes)->UseManualTime();

BENCHMARK_MAIN();
