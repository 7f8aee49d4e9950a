// The peer table's harness: makes the rows, checks them, times every
// contender with Google Benchmark (several repetitions, medians of CPU time)
// and prints the table.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>

#include "bench/peers.h"
#include "gfx/gfx_internal.h"

namespace {

constexpr int kRepetitions = 7;
constexpr double kMinSeconds = 0.2;

std::vector<std::vector<PeerRow> (*)()>& makers() {
    static std::vector<std::vector<PeerRow> (*)()> list;
    return list;
}

std::string bench_name(const PeerRow& row, const Contender& c) {
    return row.workload + "/" + c.name;
}

// Collects the median CPU time (ms) of every benchmark as it is reported.
class MedianReporter : public benchmark::ConsoleReporter {
   public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians_[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
        }
    }
    double median_ms(const std::string& name) const {
        auto it = medians_.find(name);
        return it == medians_.end() ? 0 : it->second;
    }

   private:
    std::map<std::string, double> medians_;
};

void print_table(const std::vector<PeerRow>& rows, const MedianReporter& times) {
    std::printf("\n%-8s %-40s %12s %10s %12s\n", "workload", "contender", "median ms", "Mpx/s",
                "ours/theirs");
    for (const PeerRow& row : rows) {
        const double ours = times.median_ms(bench_name(row, row.contenders.front()));
        for (const Contender& c : row.contenders) {
            const double ms = times.median_ms(bench_name(row, c));
            if (ms <= 0) continue;  // filtered out
            const double mpx = row.pixels / ms / 1e3;
            // Our pixels per second over theirs: their time over ours.
            std::printf("%-8s %-40s %12.3f %10.1f %12.2f\n", row.workload.c_str(), c.name.c_str(),
                        ms, mpx, ours > 0 ? ms / ours : 0.0);
        }
    }
}

}  // namespace

bool zq_bench_screen() {
    const GfxState* s = __zq_gfx;
    if (s && s->width == 640 && s->height == 480 && s->depth == 32) return true;
    return zq_GfxScreenRes(640, 480, 32, 0, -1, 0) == 0;
}

std::vector<PeerCorners> zq_bench_random_corners(unsigned seed, size_t count) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> col(0, 639), row(0, 479);
    std::vector<PeerCorners> set(count);
    for (PeerCorners& c : set) c = PeerCorners{col(rng), row(rng), col(rng), row(rng)};
    return set;
}

bool zq_bench_peer_screen(PeerScreen* screen) {
    if (!zq_bench_screen()) return false;
    const GfxState* s = __zq_gfx;
    screen->pixels = reinterpret_cast<uint32_t*>(s->framebuffer);
    screen->stride = s->pitch / 4;
    screen->surface = SDL_CreateRGBSurfaceWithFormatFrom(screen->pixels, s->width, s->height, 32,
                                                         s->pitch, SDL_PIXELFORMAT_ARGB8888);
    if (!screen->surface) return false;
    screen->renderer = SDL_CreateSoftwareRenderer(screen->surface);
    if (!screen->renderer) return false;
    SDL_SetRenderDrawBlendMode(screen->renderer, SDL_BLENDMODE_NONE);
    return true;
}

bool zq_bench_add_rows(std::vector<PeerRow> (*make)()) {
    makers().push_back(make);
    return true;
}

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::vector<PeerRow> rows;
    for (auto make : makers()) {
        for (PeerRow& row : make()) rows.push_back(std::move(row));
    }
    // A fast wrong path must not win: check before timing.
    for (const PeerRow& row : rows) {
        if (!row.check) continue;
        const std::string problem = row.check();
        if (!problem.empty()) {
            std::fprintf(stderr, "%s: %s\n", row.workload.c_str(), problem.c_str());
            return 1;
        }
        std::printf("%s: every fast path gives the exact path's pixels\n", row.workload.c_str());
    }
    for (const PeerRow& row : rows) {
        for (const Contender& c : row.contenders) {
            const double pixels = row.pixels;
            auto pass = c.pass;
            benchmark::RegisterBenchmark(bench_name(row, c).c_str(),
                                         [pass, pixels](benchmark::State& state) {
                                             for (auto _ : state) pass();
                                             state.SetItemsProcessed(static_cast<int64_t>(
                                                 pixels * static_cast<double>(state.iterations())));
                                         })
                ->Unit(benchmark::kMillisecond)
                ->MinTime(kMinSeconds)
                ->Repetitions(kRepetitions)
                ->ReportAggregatesOnly(true);
        }
    }
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    print_table(rows, reporter);
    benchmark::Shutdown();
    return 0;
}
