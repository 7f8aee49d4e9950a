// The LZW codec and the built-in fonts and palettes it carries.
#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "gfx_test_util.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Codes = std::vector<int32_t>;

// Packs 12-bit codes least significant bit first, as the codec does.
Bytes pack_codes(const Codes& codes) {
    Bytes out((codes.size() * 12 + 7) / 8, 0);
    for (size_t k = 0; k < codes.size(); ++k) {
        const uint32_t shifted = static_cast<uint32_t>(codes[k]) << (k * 12 % 8);
        out[k * 12 / 8] |= static_cast<uint8_t>(shifted);
        out[k * 12 / 8 + 1] |= static_cast<uint8_t>(shifted >> 8);
    }
    return out;
}

Bytes bytes_of(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

Bytes encode(const Bytes& in) {
    Bytes out(in.size() * 2 + 8);
    int32_t size = static_cast<int32_t>(out.size());
    const int32_t r = zq_hEncode(in.data(), static_cast<int32_t>(in.size()), out.data(), &size);
    out.resize(r == 0 ? size : 0);
    return out;
}

// Decodes into a heap buffer of exactly `capacity` bytes, so that the address
// sanitizer catches any write past it (corrupt streams are the lzw fuzz
// harness's). Gives the result and the bytes written.
std::pair<int32_t, Bytes> decode(const Bytes& stream, int32_t capacity) {
    Bytes out(capacity);
    int32_t size = capacity;
    const int32_t r =
        zq_hDecode(stream.data(), static_cast<int32_t>(stream.size()), out.data(), &size);
    EXPECT_TRUE(size >= 0 && size <= capacity) << size;
    out.resize(std::clamp(size, 0, capacity));
    return {r, out};
}

}  // namespace

// The exact streams, and the room they need: the whole stream, plus one byte
// when it ends on a byte boundary (end code at an odd position).
TEST(LzwEncode, StreamsAndCapacityRule) {
    const struct {
        Bytes in, stream;
        int32_t needed;
    } cases[] = {
        {{0x61, 0x62}, {0x61, 0x20, 0x06, 0xFF, 0x0F}, 5},
        {{0x5A}, {0x5A, 0xF0, 0xFF}, 4},
        {bytes_of("abababa"), pack_codes({'a', 'b', 256, 258, 4095}), 8},  // 258 while defined
        {bytes_of("abcde"), pack_codes({'a', 'b', 'c', 'd', 'e', 4095}), 10},
        {{}, {}, 100},  // empty input is refused
    };
    for (const auto& c : cases) {
        for (int32_t cap = 0; cap <= static_cast<int32_t>(c.stream.size()) + 2; ++cap) {
            Bytes out(cap + 16, 0xEE);
            int32_t size = cap;
            const int32_t r =
                zq_hEncode(c.in.data(), static_cast<int32_t>(c.in.size()), out.data(), &size);
            EXPECT_EQ(r, cap >= c.needed ? 0 : -1) << "capacity " << cap;
            if (r == 0) {
                EXPECT_EQ(Bytes(out.begin(), out.begin() + size), c.stream);
            }
            for (size_t i = cap; i < out.size(); ++i)
                ASSERT_EQ(out[i], 0xEE) << "wrote byte " << i << " with capacity " << cap;
        }
    }
}

TEST(LzwDecode, PendingCodesFullDictionaryAndBadStreams) {
    const std::string text = "the quick brown fox jumps over the lazy dog, the lazy dog sleeps";
    const int32_t n = static_cast<int32_t>(text.size());
    // 'a' then 3838 literals define codes 256..4093; 4094 arrives while being
    // defined (b + b), is then used once more, and nothing further is defined.
    Codes full = {'a'};
    full.insert(full.end(), 3838, 'b');
    full.insert(full.end(), {4094, 4094, 'c', 4095});
    const struct {
        Bytes stream;
        int32_t capacity, result;
        std::string out;
    } cases[] = {
        // A code not yet defined is the previous string plus its own first byte.
        {pack_codes({'a', 'b', 256, 258, 4095}), 64, 0, "abababa"},
        {pack_codes({'x', 256, 4095}), 64, 0, "xxx"},
        {pack_codes(full), 5000, 0, "a" + std::string(3842, 'b') + "c"},
        {encode(bytes_of(text)), n, 0, text},
        {encode(bytes_of(text)), n - 1, -1, text.substr(0, n - 1)},  // filled, then fails
        {pack_codes({'a', 257, 4095}), 64, -1, "a"},                 // beyond the next free code
        {pack_codes({256, 4095}), 64, -1, ""},  // the first code must be a literal
        {Bytes{0x41}, 8, -1, ""},
        {Bytes{}, 8, -1, ""},
        {encode({0x41}), 0, -1, ""},
    };
    for (const auto& c : cases) {
        const auto [result, out] = decode(c.stream, c.capacity);
        EXPECT_EQ(std::pair(result, out), std::pair(c.result, bytes_of(c.out)))
            << c.out.substr(0, 10);
    }
}

TEST(LzwDecode, RoundTripsAndTruncatedStreams) {
    const Bytes text = random_bytes(6000, 7, 8);
    const Bytes stream = encode(text);
    for (size_t len = 0; len < stream.size(); ++len) {
        const auto [result, out] = decode(Bytes(stream.begin(), stream.begin() + len), 7000);
        ASSERT_EQ(result, -1) << "length " << len;
        // What came out before the cut is still the start of the text.
        ASSERT_TRUE(std::equal(out.begin(), out.end(), text.begin())) << "length " << len;
    }
    // Random bytes define a new string for nearly every code, so the
    // dictionary fills early; the repeats afterwards must reuse old entries.
    Bytes full = random_bytes(8000, 99);
    const Bytes head(full.begin(), full.begin() + 2000);
    for (int i = 0; i < 20; ++i) full.insert(full.end(), head.begin(), head.end());
    for (const Bytes& in : {bytes_of("x"), bytes_of("xy"), random_bytes(100, 2),
                            random_bytes(5000, 3, 2), Bytes(20000, 0), Bytes(20000, 0xFF), full}) {
        EXPECT_EQ(decode(encode(in), static_cast<int32_t>(in.size())), std::make_pair(0, in));
    }
}

TEST(LzwBuiltin, BlockExpandsOnceAndTheDescriptorsTileIt) {
    zq_hSetupData();
    zq_hSetupData();  // a second call changes nothing
    // The fonts, then the palettes, back to back; FNV-1a of the files the
    // block was made from (checked glyph by glyph when they were made).
    const uint8_t* at = zq_font_8x8.data;
    EXPECT_EQ(fnv1a(at, ZQ_BUILTIN_DATA_SIZE), 0x7e69d064ffa16e0au);
    for (const FontDesc* font : {&zq_font_8x8, &zq_font_8x14, &zq_font_8x16}) {
        EXPECT_EQ(font->data, at);
        at += 256 * font->height;
    }
    for (const PaletteDesc* p : {&zq_palette_2, &zq_palette_16, &zq_palette_64, &zq_palette_256}) {
        EXPECT_EQ(p->data, at);
        at += 3 * p->colors;
    }
    EXPECT_EQ(at, zq_font_8x8.data + ZQ_BUILTIN_DATA_SIZE);
}
