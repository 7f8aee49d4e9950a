// The LZW codec on hostile bytes: decoding any stream into any capacity either
// fails or fits, and never touches memory past the input or the output;
// encoding then decoding gives the bytes back.
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "gfx/gfx_internal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    const uint8_t mode = in.u8();
    const int32_t capacity = static_cast<int32_t>(in.u16()) - 16;  // a few negative ones too
    // Exact-size copies, so the sanitizer sees any access past either end.
    std::vector<uint8_t> body(in.data, in.data + in.size);
    const auto n = static_cast<int32_t>(body.size());
    const size_t out_bytes = capacity > 0 ? static_cast<size_t>(capacity) : 0;
    auto* out = static_cast<uint8_t*>(std::malloc(out_bytes ? out_bytes : 1));
    int32_t out_size = capacity;
    if (mode & 1) {
        const int32_t r = zq_hDecode(body.data(), n, out, &out_size);
        FUZZ_CHECK(r == 0 || r == -1);
        FUZZ_CHECK(out_size >= 0 && out_size <= (capacity > 0 ? capacity : 0));
    } else if (n > 0) {
        const int32_t r = zq_hEncode(body.data(), n, out, &out_size);
        FUZZ_CHECK(out_size >= 0 && out_size <= (capacity > 0 ? capacity : 0));
        // 12 bits per input byte at worst, plus the end code.
        if (capacity >= 2 * n + 4) FUZZ_CHECK(r == 0);
        if (r == 0) {
            std::vector<uint8_t> back(static_cast<size_t>(n));
            int32_t back_size = n;
            FUZZ_CHECK(zq_hDecode(out, out_size, back.data(), &back_size) == 0);
            FUZZ_CHECK(back_size == n && back == body);
        }
    }
    std::free(out);
    return 0;
}
