// The built-in fonts and default palettes: one LZW-compressed block, expanded
// once on the first screen open. The descriptors point into the expanded
// block, so they are valid as records from the start but their bytes only
// after zq_hSetupData.
#include "gfx/gfx_internal.h"

namespace {

// Expanded layout: the three fonts, then the 2-, 16-, 64- and 256-colour
// palettes as (red, green, blue) triplets.
constexpr int32_t FONT_8X8_AT = 0;
constexpr int32_t FONT_8X14_AT = FONT_8X8_AT + 256 * 8;
constexpr int32_t FONT_8X16_AT = FONT_8X14_AT + 256 * 14;
constexpr int32_t PALETTE_2_AT = FONT_8X16_AT + 256 * 16;
constexpr int32_t PALETTE_16_AT = PALETTE_2_AT + 2 * 3;
constexpr int32_t PALETTE_64_AT = PALETTE_16_AT + 16 * 3;
constexpr int32_t PALETTE_256_AT = PALETTE_64_AT + 64 * 3;
constexpr int32_t DATA_SIZE = PALETTE_256_AT + 256 * 3;
static_assert(DATA_SIZE == ZQ_BUILTIN_DATA_SIZE);

const uint8_t compressed_data[] = {
#include "gfx/gfx_data_stream.inc"
};

uint8_t internal_data[DATA_SIZE];
uint8_t inited = 0;

}  // namespace

const FontDesc zq_font_8x8 = {8, 8, internal_data + FONT_8X8_AT};
const FontDesc zq_font_8x14 = {8, 14, internal_data + FONT_8X14_AT};
const FontDesc zq_font_8x16 = {8, 16, internal_data + FONT_8X16_AT};
const PaletteDesc zq_palette_2 = {2, internal_data + PALETTE_2_AT};
const PaletteDesc zq_palette_16 = {16, internal_data + PALETTE_16_AT};
const PaletteDesc zq_palette_64 = {64, internal_data + PALETTE_64_AT};
const PaletteDesc zq_palette_256 = {256, internal_data + PALETTE_256_AT};

void zq_hSetupData() {
    if (inited) return;
    int32_t size = DATA_SIZE;
    // The stream is fixed at build time and checked by the tests, so a
    // decoding failure cannot happen here.
    zq_hDecode(compressed_data, sizeof compressed_data, internal_data, &size);
    inited = 1;
}

const uint8_t* const zq_hBuiltinStream = compressed_data;
const int32_t zq_hBuiltinStreamSize = sizeof compressed_data;
