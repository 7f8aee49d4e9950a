// The LZW codec and the built-in fonts and palettes it carries.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "gfx/gfx_internal.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Packs 12-bit codes least significant bit first, as the codec does.
Bytes pack_codes(const std::vector<int32_t>& codes) {
    Bytes out((codes.size() * 12 + 7) / 8, 0);
    for (size_t k = 0; k < codes.size(); ++k) {
        const size_t bit = k * 12, at = bit / 8;
        const uint32_t shifted = static_cast<uint32_t>(codes[k]) << (bit % 8);
        out[at] |= static_cast<uint8_t>(shifted);
        out[at + 1] |= static_cast<uint8_t>(shifted >> 8);
    }
    return out;
}

std::vector<int32_t> unpack_codes(const Bytes& stream) {
    std::vector<int32_t> codes;
    for (size_t bit = 0; bit / 8 + 1 < stream.size(); bit += 12) {
        const uint32_t pair = stream[bit / 8] | (stream[bit / 8 + 1] << 8);
        codes.push_back(static_cast<int32_t>((pair >> (bit % 8)) & 0xFFF));
    }
    return codes;
}

Bytes bytes_of(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

Bytes encode(const Bytes& in, int32_t* result = nullptr) {
    Bytes out(in.size() * 2 + 8);
    int32_t size = static_cast<int32_t>(out.size());
    const int32_t r = zq_hEncode(in.data(), static_cast<int32_t>(in.size()), out.data(), &size);
    if (result) *result = r;
    out.resize(r == 0 ? size : 0);
    return out;
}

// Decodes into a heap buffer of exactly `capacity` bytes, so that the address
// sanitizer catches any write past it.
struct Decoded {
    int32_t result;
    Bytes bytes;
};

Decoded decode(const Bytes& stream, int32_t capacity) {
    Bytes out(capacity);
    int32_t size = capacity;
    const int32_t r =
        zq_hDecode(stream.data(), static_cast<int32_t>(stream.size()), out.data(), &size);
    EXPECT_GE(size, 0);
    EXPECT_LE(size, capacity);
    out.resize(size);
    return {r, out};
}

Bytes random_bytes(size_t n, uint32_t seed, int32_t alphabet = 256) {
    std::mt19937 rng(seed);
    Bytes out(n);
    for (auto& b : out) b = static_cast<uint8_t>(rng() % alphabet);
    return out;
}

}  // namespace

TEST(LzwFormat, TwoBytesEncodeToFiveBytes) {
    EXPECT_EQ(encode({0x61, 0x62}), (Bytes{0x61, 0x20, 0x06, 0xFF, 0x0F}));
}

TEST(LzwFormat, OneByteEncodesAsLiteralAndEndCode) {
    EXPECT_EQ(encode({0x5A}), (Bytes{0x5A, 0xF0, 0xFF}));
    EXPECT_EQ(encode({0x00}), (Bytes{0x00, 0xF0, 0xFF}));
}

TEST(LzwFormat, EmptyInputIsRefused) {
    const uint8_t in[1] = {0x41};
    uint8_t out[8] = {};
    int32_t size = sizeof out;
    EXPECT_EQ(zq_hEncode(in, 0, out, &size), -1);
    EXPECT_EQ(size, 0);
}

TEST(LzwFormat, RepeatsBecomeDictionaryCodes) {
    // a b 256(ab) 258(aba): 258 arrives while it is being defined.
    EXPECT_EQ(unpack_codes(encode(bytes_of("abababa"))),
              (std::vector<int32_t>{'a', 'b', 256, 258, 4095}));
}

TEST(LzwDecode, CodeBeingDefinedIsPreviousStringPlusItsFirstByte) {
    auto d = decode(pack_codes({'a', 'b', 256, 258, 4095}), 64);
    EXPECT_EQ(d.result, 0);
    EXPECT_EQ(d.bytes, bytes_of("abababa"));

    d = decode(pack_codes({'x', 256, 4095}), 64);
    EXPECT_EQ(d.result, 0);
    EXPECT_EQ(d.bytes, bytes_of("xxx"));
}

TEST(LzwDecode, CodeBeyondTheNextFreeOneIsCorrupt) {
    EXPECT_EQ(decode(pack_codes({'a', 257, 4095}), 64).result, -1);
}

TEST(LzwDecode, FirstCodeMustBeALiteral) {
    const auto d = decode(pack_codes({256, 4095}), 64);
    EXPECT_EQ(d.result, -1);
    EXPECT_TRUE(d.bytes.empty());
}

TEST(LzwDecode, StreamShorterThanTwoBytesOrNoRoomFails) {
    EXPECT_EQ(decode(Bytes{0x41}, 8).result, -1);
    EXPECT_EQ(decode(Bytes{}, 8).result, -1);
    EXPECT_EQ(decode(encode({0x41}), 0).result, -1);
}

TEST(LzwDecode, BufferOneByteShortFillsItAndFails) {
    const Bytes text = bytes_of("the quick brown fox jumps over the lazy dog, the lazy dog sleeps");
    const Bytes stream = encode(text);
    const int32_t n = static_cast<int32_t>(text.size());

    auto d = decode(stream, n);
    EXPECT_EQ(d.result, 0);
    EXPECT_EQ(d.bytes, text);

    d = decode(stream, n - 1);
    EXPECT_EQ(d.result, -1);
    EXPECT_EQ(d.bytes, Bytes(text.begin(), text.end() - 1));
}

TEST(LzwDecode, EveryTruncationFails) {
    const Bytes text = random_bytes(3000, 7, 4);
    const Bytes stream = encode(text);
    for (size_t len = 0; len < stream.size(); ++len) {
        const auto d = decode(Bytes(stream.begin(), stream.begin() + len), 4000);
        ASSERT_EQ(d.result, -1) << "length " << len;
        // What came out before the cut is still the start of the text.
        ASSERT_TRUE(std::equal(d.bytes.begin(), d.bytes.end(), text.begin())) << "length " << len;
    }
}

TEST(LzwDecode, CorruptStreamsStayInBounds) {
    const Bytes text = random_bytes(6000, 11, 16);
    const Bytes stream = encode(text);
    std::mt19937 rng(12345);
    for (int round = 0; round < 300; ++round) {
        Bytes bad = stream;
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < flips; ++i)
            bad[rng() % bad.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
        // Exact-size and shorter outputs: any write past them is an ASan error.
        decode(bad, static_cast<int32_t>(text.size()));
        decode(bad, static_cast<int32_t>(text.size() / 3));
    }
    for (int round = 0; round < 100; ++round) {
        decode(random_bytes(1 + rng() % 4000, rng()), 5000);
    }
}

TEST(LzwRoundTrip, VariedInputs) {
    const std::vector<Bytes> inputs = {
        bytes_of("x"),      bytes_of("xy"),       bytes_of("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"),
        random_bytes(1, 1), random_bytes(100, 2), random_bytes(5000, 3, 2),
        Bytes(20000, 0),    Bytes(20000, 0xFF),
    };
    for (const Bytes& in : inputs) {
        const Bytes stream = encode(in);
        ASSERT_FALSE(stream.empty());
        const auto d = decode(stream, static_cast<int32_t>(in.size()));
        EXPECT_EQ(d.result, 0);
        EXPECT_EQ(d.bytes, in);
    }
}

TEST(LzwRoundTrip, FullDictionaryKeepsItsEntries) {
    // Random bytes define a new string for nearly every code, so the
    // dictionary fills early; the repeats afterwards must reuse old entries.
    Bytes in = random_bytes(8000, 99);
    const Bytes head(in.begin(), in.begin() + 2000);
    for (int i = 0; i < 20; ++i) in.insert(in.end(), head.begin(), head.end());

    const Bytes stream = encode(in);
    const auto codes = unpack_codes(stream);
    ASSERT_GT(codes.size(), 3840u);  // one entry per code after the first: full
    EXPECT_EQ(codes.back(), 4095);
    bool reused = false;
    for (size_t k = 3840; k + 1 < codes.size(); ++k) {
        ASSERT_LT(codes[k], 4095);
        reused = reused || codes[k] >= 256;
    }
    EXPECT_TRUE(reused);

    const auto d = decode(stream, static_cast<int32_t>(in.size()));
    EXPECT_EQ(d.result, 0);
    EXPECT_EQ(d.bytes, in);
}

TEST(LzwDecode, DictionaryStopsAtCode4094) {
    // 'a' then 3838 literals define codes 256..4093; 4094 arrives while being
    // defined (b + b), is then used once more, and nothing further is defined.
    std::vector<int32_t> codes = {'a'};
    codes.insert(codes.end(), 3838, 'b');
    codes.insert(codes.end(), {4094, 4094, 'c', 4095});
    Bytes expected = {'a'};
    expected.insert(expected.end(), 3838 + 4, 'b');
    expected.push_back('c');

    const auto d = decode(pack_codes(codes), 10000);
    EXPECT_EQ(d.result, 0);
    EXPECT_EQ(d.bytes, expected);
}

// The encoder needs room for the whole stream, and one byte more when the
// stream ends on a byte boundary (end code at an odd position).
TEST(LzwEncode, CapacityRule) {
    struct Case {
        Bytes in;
        int32_t length;
        int32_t needed;
    };
    const std::vector<Case> cases = {
        {{0x61, 0x62}, 5, 5},         // end code at code 2: half-filled last byte
        {{0x5A}, 3, 4},               // end code at code 1: whole last byte
        {bytes_of("abababa"), 8, 8},  // five codes
        {bytes_of("abcde"), 9, 10},   // six codes
    };
    for (const Case& c : cases) {
        for (int32_t cap = 0; cap <= c.length + 2; ++cap) {
            Bytes out(cap + 16, 0xEE);
            int32_t size = cap;
            const int32_t r =
                zq_hEncode(c.in.data(), static_cast<int32_t>(c.in.size()), out.data(), &size);
            EXPECT_EQ(r, cap >= c.needed ? 0 : -1) << "capacity " << cap;
            if (r == 0) {
                EXPECT_EQ(size, c.length);
            }
            for (size_t i = cap; i < out.size(); ++i) {
                ASSERT_EQ(out[i], 0xEE) << "wrote byte " << i << " with capacity " << cap;
            }
        }
    }
}

// ---- built-in data ----

namespace {

// SHA-256, to check the fonts against the digests of their source files.
std::string sha256(const uint8_t* data, size_t len) {
    static constexpr uint32_t K[64] = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
        0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
        0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
        0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
        0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
        0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
        0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
        0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
        0xc67178f2};
    uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                     0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    Bytes msg(data, data + len);
    msg.push_back(0x80);
    while (msg.size() % 64 != 56) msg.push_back(0);
    for (int i = 7; i >= 0; --i)
        msg.push_back(static_cast<uint8_t>((uint64_t{len} * 8) >> (i * 8)));
    auto rotr = [](uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
    for (size_t block = 0; block < msg.size(); block += 64) {
        uint32_t w[64];
        for (int i = 0; i < 16; ++i) {
            const uint8_t* p = &msg[block + i * 4];
            w[i] = uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3];
        }
        for (int i = 16; i < 64; ++i) {
            const uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        uint32_t v[8];
        std::copy(h, h + 8, v);
        for (int i = 0; i < 64; ++i) {
            const uint32_t s1 = rotr(v[4], 6) ^ rotr(v[4], 11) ^ rotr(v[4], 25);
            const uint32_t ch = (v[4] & v[5]) ^ (~v[4] & v[6]);
            const uint32_t t1 = v[7] + s1 + ch + K[i] + w[i];
            const uint32_t s0 = rotr(v[0], 2) ^ rotr(v[0], 13) ^ rotr(v[0], 22);
            const uint32_t maj = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
            std::copy_backward(v, v + 7, v + 8);
            v[4] += t1;
            v[0] = t1 + s0 + maj;
        }
        for (int i = 0; i < 8; ++i) h[i] += v[i];
    }
    char hex[65];
    for (int i = 0; i < 8; ++i) std::snprintf(hex + i * 8, 9, "%08x", h[i]);
    return hex;
}

using Rgb = std::array<int, 3>;

Rgb color_of(const PaletteDesc& p, int i) {
    const uint8_t* c = p.data + i * 3;
    return {c[0], c[1], c[2]};
}

const Bytes& builtin_expanded() {
    static const Bytes data = [] {
        Bytes out(ZQ_BUILTIN_DATA_SIZE + 1);
        int32_t size = static_cast<int32_t>(out.size());
        EXPECT_EQ(zq_hDecode(zq_hBuiltinStream, zq_hBuiltinStreamSize, out.data(), &size), 0);
        out.resize(size);
        return out;
    }();
    return data;
}

}  // namespace

TEST(LzwBuiltin, Sha256SelfCheck) {
    EXPECT_EQ(sha256(reinterpret_cast<const uint8_t*>("abc"), 3),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(LzwBuiltin, StreamExpandsToTheWholeBlockAndEndsWithTheEndCode) {
    EXPECT_EQ(builtin_expanded().size(), size_t{ZQ_BUILTIN_DATA_SIZE});
    int32_t size = ZQ_BUILTIN_DATA_SIZE;
    Bytes exact(size);
    EXPECT_EQ(zq_hDecode(zq_hBuiltinStream, zq_hBuiltinStreamSize, exact.data(), &size), 0);
    EXPECT_EQ(size, ZQ_BUILTIN_DATA_SIZE);
    const auto codes =
        unpack_codes(Bytes(zq_hBuiltinStream, zq_hBuiltinStream + zq_hBuiltinStreamSize));
    EXPECT_EQ(codes.back(), 4095);
    EXPECT_EQ(static_cast<size_t>(zq_hBuiltinStreamSize), (codes.size() * 12 + 7) / 8);
}

TEST(LzwBuiltin, SetupFillsTheDescriptors) {
    zq_hSetupData();
    zq_hSetupData();  // a second call changes nothing
    const Bytes& data = builtin_expanded();
    EXPECT_EQ(0, std::memcmp(zq_font_8x8.data, data.data(), data.size()));
    EXPECT_EQ(zq_font_8x14.data, zq_font_8x8.data + 2048);
    EXPECT_EQ(zq_font_8x16.data, zq_font_8x8.data + 5632);
    EXPECT_EQ(zq_palette_2.data, zq_font_8x8.data + 9728);
    EXPECT_EQ(zq_palette_16.data, zq_font_8x8.data + 9734);
    EXPECT_EQ(zq_palette_64.data, zq_font_8x8.data + 9782);
    EXPECT_EQ(zq_palette_256.data, zq_font_8x8.data + 9974);
    EXPECT_EQ(zq_palette_2.colors, 2);
    EXPECT_EQ(zq_palette_16.colors, 16);
    EXPECT_EQ(zq_palette_64.colors, 64);
    EXPECT_EQ(zq_palette_256.colors, 256);
}

TEST(LzwBuiltin, FontsAreTheCodePage437Sources) {
    zq_hSetupData();
    struct Font {
        const FontDesc* desc;
        int32_t height;
        const char* digest;
    };
    const Font fonts[] = {
        {&zq_font_8x8, 8, "815b2b38585a26f5bb1f29c4600647d6e5d7eb20bf5bf57ac688ade5736110f2"},
        {&zq_font_8x14, 14, "c91f6a995c216035d239740cb9334f603b434f96ea2c7ba84fe5db4e10f5d52a"},
        {&zq_font_8x16, 16, "e0519ad7f4c37f87a72cae74bec663d58d2eeff0440a522028a406ec434f39e4"},
    };
    for (const Font& f : fonts) {
        const FontDesc& d = *f.desc;
        EXPECT_EQ(d.width, 8);
        ASSERT_EQ(d.height, f.height);
        EXPECT_EQ(sha256(d.data, 256 * d.height), f.digest) << "8x" << d.height;
        auto glyph = [&d](int c) {
            return Bytes(d.data + c * d.height, d.data + (c + 1) * d.height);
        };
        for (int c : {0x01, 0x03, 0xC9}) {
            const Bytes g = glyph(c);
            EXPECT_TRUE(std::any_of(g.begin(), g.end(), [](uint8_t b) { return b != 0; }))
                << "glyph " << c << " of 8x" << d.height;
        }
        EXPECT_EQ(glyph(0xDB), Bytes(d.height, 0xFF));
        EXPECT_EQ(glyph(0xDD), Bytes(d.height, 0x0F));  // left half: bit 0 is the leftmost pixel
        EXPECT_EQ(glyph(0x20), Bytes(d.height, 0x00));
    }
}

TEST(LzwBuiltin, TwoAndSixteenColourPalettes) {
    zq_hSetupData();
    EXPECT_EQ(color_of(zq_palette_2, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(color_of(zq_palette_2, 1), (Rgb{255, 255, 255}));
    const Rgb sixteen[16] = {{0, 0, 0},     {0, 0, 170},    {0, 170, 0},    {0, 170, 170},
                             {170, 0, 0},   {170, 0, 170},  {170, 85, 0},   {170, 170, 170},
                             {85, 85, 85},  {85, 85, 255},  {85, 255, 85},  {85, 255, 255},
                             {255, 85, 85}, {255, 85, 255}, {255, 255, 85}, {255, 255, 255}};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(color_of(zq_palette_16, i), sixteen[i]) << i;
        EXPECT_EQ(color_of(zq_palette_256, i), sixteen[i]) << i;
    }
}

TEST(LzwBuiltin, SixtyFourColourPalette) {
    zq_hSetupData();
    EXPECT_EQ(color_of(zq_palette_64, 20), (Rgb{170, 85, 0}));
    for (int i = 0; i < 64; ++i) {
        auto bit = [i](int b) { return (i >> b) & 1; };
        const Rgb expected{170 * bit(2) + 85 * bit(5), 170 * bit(1) + 85 * bit(4),
                           170 * bit(0) + 85 * bit(3)};
        EXPECT_EQ(color_of(zq_palette_64, i), expected) << i;
    }
    for (int i = 8; i < 16; ++i)
        EXPECT_EQ(color_of(zq_palette_64, 48 + i), color_of(zq_palette_16, i));
}

TEST(LzwBuiltin, TwoFiftySixColourPalette) {
    zq_hSetupData();
    const int grey[16] = {0, 20, 32, 44, 56, 68, 80, 97, 113, 129, 145, 161, 182, 202, 226, 255};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(color_of(zq_palette_256, 16 + i), (Rgb{grey[i], grey[i], grey[i]})) << 16 + i;
    }
    const int first_ring[5] = {0, 64, 125, 190, 255};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(color_of(zq_palette_256, 32 + k), (Rgb{first_ring[k], 0, 255})) << 32 + k;
    }
    const int ring_max[9] = {255, 255, 255, 113, 113, 113, 64, 64, 64};
    const int ring_min[9] = {0, 125, 182, 0, 56, 80, 0, 32, 44};
    for (int ring = 0; ring < 9; ++ring) {
        const int at = 32 + ring * 24, hi = ring_max[ring], lo = ring_min[ring];
        EXPECT_EQ(color_of(zq_palette_256, at + 0), (Rgb{lo, lo, hi})) << "blue, ring " << ring;
        EXPECT_EQ(color_of(zq_palette_256, at + 4), (Rgb{hi, lo, hi})) << "magenta, ring " << ring;
        EXPECT_EQ(color_of(zq_palette_256, at + 8), (Rgb{hi, lo, lo})) << "red, ring " << ring;
        EXPECT_EQ(color_of(zq_palette_256, at + 12), (Rgb{hi, hi, lo})) << "yellow, ring " << ring;
        EXPECT_EQ(color_of(zq_palette_256, at + 16), (Rgb{lo, hi, lo})) << "green, ring " << ring;
        EXPECT_EQ(color_of(zq_palette_256, at + 20), (Rgb{lo, hi, hi})) << "cyan, ring " << ring;
        for (int k = 0; k < 24; ++k) {
            for (int v : color_of(zq_palette_256, at + k)) {
                EXPECT_TRUE(v >= lo && v <= hi) << "entry " << at + k;
            }
        }
    }
    for (int i = 248; i < 256; ++i) EXPECT_EQ(color_of(zq_palette_256, i), (Rgb{0, 0, 0})) << i;
}
