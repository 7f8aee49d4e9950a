// Every blitter, plain and MMX, on a 640 x 480 screen with all lines dirty,
// timed alternately with memcpy of the framebuffer's bytes in the same run.
// bytes_per_second counts framebuffer bytes; vs_memcpy is the blitter's share
// of memcpy's speed (1.0 = as fast as memcpy); best_us the best frame time.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "gfx/blit/gfx_blitter.h"
#include "gfx/gfx_internal.h"

namespace {

constexpr int32_t kWidth = 640, kHeight = 480;

struct Member {
    const char* name;
    Blitter blit;
    int src, dst, rgb;
};

// clang-format off
#define ZQ_PAIR(name, src, dst, rgb) \
    {#name, zq_hBlit##name, src, dst, rgb}, {#name "MMX", zq_hBlit##name##MMX, src, dst, rgb}
// clang-format on
const Member kMembers[] = {
    {"Copy8", zq_hBlitCopy, 8, 8, 0},    {"Copy16", zq_hBlitCopy, 16, 16, 0},
    {"Copy32", zq_hBlitCopy, 32, 32, 0}, ZQ_PAIR(8to15RGB, 8, 15, 1),
    ZQ_PAIR(8to15BGR, 8, 15, 0),         ZQ_PAIR(8to16RGB, 8, 16, 1),
    ZQ_PAIR(8to16BGR, 8, 16, 0),         ZQ_PAIR(8to24RGB, 8, 24, 1),
    ZQ_PAIR(8to24BGR, 8, 24, 0),         ZQ_PAIR(8to32RGB, 8, 32, 1),
    ZQ_PAIR(8to32BGR, 8, 32, 0),         ZQ_PAIR(16to15RGB, 16, 15, 1),
    ZQ_PAIR(16to15BGR, 16, 15, 0),       ZQ_PAIR(16to16RGB, 16, 16, 1),
    ZQ_PAIR(16to24, 16, 24, 0),          ZQ_PAIR(16to32, 16, 32, 0),
    ZQ_PAIR(32to15RGB, 32, 15, 1),       ZQ_PAIR(32to15BGR, 32, 15, 0),
    ZQ_PAIR(32to16RGB, 32, 16, 1),       ZQ_PAIR(32to16BGR, 32, 16, 0),
    ZQ_PAIR(32to24RGB, 32, 24, 1),       ZQ_PAIR(32to24BGR, 32, 24, 0),
    ZQ_PAIR(32to32RGB, 32, 32, 1),
};
#undef ZQ_PAIR

void open_screen(const Member& m) {
    zq_GfxScreenRes(kWidth, kHeight, m.src, 0, -1, 0);
    GfxState& s = *__zq_gfx;
    uint32_t seed = 1;
    for (int32_t i = 0; i < s.pitch * s.height; ++i) {
        seed = seed * 1664525u + 1013904223u;
        s.framebuffer[i] = static_cast<uint8_t>(seed >> 24);
    }
    for (int i = 0; i < 256; ++i) s.device_palette[i] = static_cast<uint32_t>(i) * 0x010203u;
    std::memset(s.dirty, 1, static_cast<size_t>(s.height));
    zq_hGetBlitter(m.dst, m.rgb);  // the 16-to-32 table
}

double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Times one memcpy and one blit per iteration; the ratio uses the best time of
// each, which other processes on a busy machine disturb least.
void run_blit(benchmark::State& state, const Member& m) {
    using Clock = std::chrono::steady_clock;
    open_screen(m);
    const GfxState& s = *__zq_gfx;
    const size_t fb_bytes = static_cast<size_t>(s.pitch) * static_cast<size_t>(s.height);
    const int32_t pitch = kWidth * (m.dst == 15 ? 2 : m.dst / 8);
    std::vector<uint8_t> display(static_cast<size_t>(pitch) * kHeight);
    std::vector<uint8_t> copy(fb_bytes);
    double best_blit = 1e9, best_memcpy = 1e9;
    for (auto _ : state) {
        auto t0 = Clock::now();
        std::memcpy(copy.data(), s.framebuffer, fb_bytes);
        benchmark::ClobberMemory();
        auto t1 = Clock::now();
        m.blit(display.data(), pitch);
        benchmark::ClobberMemory();
        auto t2 = Clock::now();
        best_memcpy = std::min(best_memcpy, seconds(t1 - t0));
        best_blit = std::min(best_blit, seconds(t2 - t1));
        state.SetIterationTime(seconds(t2 - t1));
    }
    state.counters["vs_memcpy"] = best_memcpy / best_blit;
    state.counters["best_us"] = best_blit * 1e6;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(fb_bytes));
    zq_GfxScreen(0, 0, 0, 0, 0);
}

}  // namespace

int main(int argc, char** argv) {
    for (const Member& m : kMembers)
        benchmark::RegisterBenchmark(m.name, run_blit, m)->UseManualTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
