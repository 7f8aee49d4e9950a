// The terminal key decoder on any byte stream, cut into reads at any points:
// the keys are those of the stream read whole, and every key translates to a
// well-formed key code.
#include <vector>

#include "console/con_in.h"
#include "console/io_input.h"
#include "fuzz/fuzz_input.h"

namespace {
bool same_key(const ConKeyRecord& a, const ConKeyRecord& b) {
    return a.key_down == b.key_down && a.repeat == b.repeat && a.vk == b.vk && a.scan == b.scan &&
           a.ch == b.ch && a.state == b.state;
}

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
    FUZZ_CHECK(whole.size() == cut.size());
    for (size_t i = 0; i < whole.size(); ++i) {
        FUZZ_CHECK(same_key(whole[i], cut[i]));
        const ConKeyRecord& k = whole[i];
        FUZZ_CHECK(k.key_down == 1 && k.repeat == 1);
        const int32_t code = zq_hConsoleTranslateKey(static_cast<int8_t>(k.ch), k.scan, k.vk,
                                                     static_cast<int32_t>(k.state), 0);
        // A key code: nothing, a character, or a scan code with 0xFF below it.
        FUZZ_CHECK(code >= -1 && code <= 0xFFFF && (code <= 255 || (code & 0xFF) == 0xFF));
    }
    // The stream decoded from one call of the old interface agrees as well.
    std::vector<ConKeyRecord> one;
    for (int32_t at = 0; at < len;) {
        ConKeyRecord k;
        const int32_t used = term_decode_key(stream.data() + at, len - at, &k);
        FUZZ_CHECK(used >= 1 && used <= len - at);
        at += used;
        if (k.key_down) one.push_back(k);
    }
    FUZZ_CHECK(one.size() == whole.size());
    return 0;
}
