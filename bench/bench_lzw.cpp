// Expanding the built-in fonts and palettes, and packing them again.
#include <benchmark/benchmark.h>

#include <vector>

#include "gfx/gfx_internal.h"

namespace {

void BM_DecodeBuiltin(benchmark::State& state) {
    std::vector<uint8_t> out(ZQ_BUILTIN_DATA_SIZE);
    for (auto _ : state) {
        int32_t size = ZQ_BUILTIN_DATA_SIZE;
        const int32_t r = zq_hDecode(zq_hBuiltinStream, zq_hBuiltinStreamSize, out.data(), &size);
        if (r != 0 || size != ZQ_BUILTIN_DATA_SIZE) state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * int64_t{ZQ_BUILTIN_DATA_SIZE});
}
BENCHMARK(BM_DecodeBuiltin);

void BM_EncodeBuiltin(benchmark::State& state) {
    std::vector<uint8_t> raw(ZQ_BUILTIN_DATA_SIZE), packed(2 * ZQ_BUILTIN_DATA_SIZE);
    int32_t size = ZQ_BUILTIN_DATA_SIZE;
    zq_hDecode(zq_hBuiltinStream, zq_hBuiltinStreamSize, raw.data(), &size);
    for (auto _ : state) {
        int32_t packed_size = static_cast<int32_t>(packed.size());
        if (zq_hEncode(raw.data(), ZQ_BUILTIN_DATA_SIZE, packed.data(), &packed_size) != 0) {
            state.SkipWithError("encoding failed");
        }
        benchmark::DoNotOptimize(packed.data());
    }
    state.SetBytesProcessed(state.iterations() * int64_t{ZQ_BUILTIN_DATA_SIZE});
}
BENCHMARK(BM_EncodeBuiltin);

}  // namespace

BENCHMARK_MAIN();
