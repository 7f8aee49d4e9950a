// The terminal key decoder on any byte stream, cut into reads at any points:
// the keys are those of the stream read in the largest pieces, and each one is
// a key stroke.
#include <cstring>
#include <vector>

#include "console/con_in.h"
#include "fuzz/fuzz_input.h"

namespace {
// Reads arrive together (one clock reading); a pause after the last one lets
// whatever is held stand as it is.
std::vector<ConKeyRecord> decode(const uint8_t* bytes, int32_t len, const uint8_t* cuts,
                                 size_t cut_count) {
    TermDecoder d{};
    std::vector<ConKeyRecord> keys;
    ConKeyRecord out[ZQ_TERM_FEED + ZQ_TERM_HELD];
    int32_t at = 0;
    for (size_t i = 0; at < len; ++i) {
        int32_t piece = i < cut_count ? cuts[i] % ZQ_TERM_FEED + 1 : ZQ_TERM_FEED;
        if (piece > len - at) piece = len - at;
        const int32_t n = term_feed(&d, bytes + at, piece, 0, out);
        FUZZ_CHECK(n >= 0 && n <= piece + ZQ_TERM_HELD);
        keys.insert(keys.end(), out, out + n);
        at += piece;
    }
    const int32_t n = term_expire(&d, ZQ_TERM_ESC_MS, out);
    keys.insert(keys.end(), out, out + n);
    FUZZ_CHECK(d.count == 0 && term_wait_ms(&d, ZQ_TERM_ESC_MS) == 0);
    return keys;
}

// An escape sequence longer than the decoder holds is taken as it stands at a
// point that depends on where the reads end; such streams have no one answer.
bool has_overlong_sequence(const uint8_t* s, int32_t len) {
    for (int32_t i = 0; i < len; ++i) {
        if (s[i] != 0x1B) continue;
        int32_t end = i + 2;
        while (end < len && !(s[end] >= 0x40 && s[end] <= 0x7E)) ++end;
        if (end - i >= ZQ_TERM_HELD - 1) return true;
    }
    return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    const uint8_t* cuts;
    const size_t cut_count = in.take(in.u8() % 16, &cuts);  // read sizes
    const auto len = static_cast<int32_t>(in.size < 256 ? in.size : 256);
    const std::vector<ConKeyRecord> whole = decode(in.data, len, nullptr, 0);
    const std::vector<ConKeyRecord> cut = decode(in.data, len, cuts, cut_count);
    for (const ConKeyRecord& k : cut) FUZZ_CHECK(k.key_down == 1 && k.repeat == 1);
    if (has_overlong_sequence(in.data, len)) return 0;
    FUZZ_CHECK(whole.size() == cut.size() &&
               (whole.empty() ||
                std::memcmp(whole.data(), cut.data(), whole.size() * sizeof whole[0]) == 0));
    return 0;
}
