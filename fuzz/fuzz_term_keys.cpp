// The terminal key decoder on any byte stream, cut into reads at any points:
// the keys are those of the stream read whole, and each one is a key stroke.
#include <cstring>
#include <vector>

#include "console/con_in.h"
#include "fuzz/fuzz_input.h"

namespace {
std::vector<ConKeyRecord> decode(const uint8_t* bytes, int32_t len, const uint8_t* cuts,
                                 size_t cut_count) {
    TermDecoder d{};
    std::vector<ConKeyRecord> keys;
    ConKeyRecord out[ZQ_TERM_SEQUENCE_MAX + 256];
    int32_t at = 0;
    for (size_t i = 0; at < len; ++i) {
        int32_t piece = i < cut_count ? cuts[i] % 64 + 1 : len - at;
        if (piece > len - at) piece = len - at;
        const int32_t n = term_decode_bytes(&d, bytes + at, piece, out);
        FUZZ_CHECK(n >= 0 && n <= ZQ_TERM_SEQUENCE_MAX + piece);
        keys.insert(keys.end(), out, out + n);
        at += piece;
    }
    const int32_t n = term_decode_bytes(&d, nullptr, 0, out);  // the input pauses
    keys.insert(keys.end(), out, out + n);
    FUZZ_CHECK(d.carry_len == 0);
    return keys;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    const uint8_t* cuts;
    const size_t cut_count = in.take(in.u8() % 16, &cuts);  // read sizes
    const std::vector<uint8_t> stream(in.data, in.data + in.size);
    const auto len = static_cast<int32_t>(stream.size() < 256 ? stream.size() : 256);
    const std::vector<ConKeyRecord> whole = decode(stream.data(), len, nullptr, 0);
    const std::vector<ConKeyRecord> cut = decode(stream.data(), len, cuts, cut_count);
    FUZZ_CHECK(whole.size() == cut.size() &&
               (whole.empty() ||
                std::memcmp(whole.data(), cut.data(), whole.size() * sizeof whole[0]) == 0));
    for (const ConKeyRecord& k : whole) FUZZ_CHECK(k.key_down == 1 && k.repeat == 1);
    return 0;
}
