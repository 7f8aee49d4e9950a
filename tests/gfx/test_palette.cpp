// Colour conversion, the palette statement and the VGA port emulation.
#include <algorithm>
#include <vector>

#include "recording_driver.h"

namespace {

using Call = std::array<int32_t, 4>;

uint32_t rgb_entry(uint32_t r, uint32_t g, uint32_t b) {
    return r | g << 8 | b << 16;
}
uint32_t entry_of(const PaletteDesc& p, int i) {
    return rgb_entry(p.data[i * 3], p.data[i * 3 + 1], p.data[i * 3 + 2]);
}

class PaletteTest : public RecordingScreenTest {
   protected:
    void SetUp() override {}
    static GfxState& screen() { return *__zq_gfx; }
    static uint32_t shown(int i) { return __zq_gfx->device_palette[i]; }
    static std::pair<int, int> all_rows() { return {0, __zq_gfx->height - 1}; }
    static std::vector<uint32_t> device_palette() {
        return {__zq_gfx->device_palette, __zq_gfx->device_palette + 256};
    }
};

}  // namespace

TEST(PaletteColor, FixColorForEachPixelSize) {
    EXPECT_EQ(zq_hFixColor(4, 0x80FF8000u), 0x80FF8000u);
    EXPECT_EQ(zq_hMakeColor(2, 0, 0x08, 0x04, 0x08), 0x0821u);
}

TEST_F(PaletteTest, StatementSetsMaskedDacLevelsUnderOneLock) {
    ASSERT_NO_FATAL_FAILURE(open(0, 13));
    zq_GfxPalette(3, 255, 128, 64);  // every component distinct and non-zero
    EXPECT_EQ(shown(3), rgb_entry(255, 129, 64));
    EXPECT_EQ(lock_log.palette, (std::vector<Call>{{3, 255, 129, 64}}));
    EXPECT_EQ(dirty_rows(), all_rows());
    EXPECT_EQ(std::pair(lock_log.locks, lock_log.unlocks), std::pair(1, 1));
    EXPECT_EQ(screen().flags & (SCREEN_LOCKED | SCREEN_LOCK_SET), 0u);
    zq_GfxPalette(5, 0x3F0000, -1, -1);  // DAC value form
    EXPECT_EQ(shown(5), rgb_entry(0, 0, 255));
    zq_GfxPalette(6, 0x01203F, -1, 0);
    EXPECT_EQ(shown(6), rgb_entry(255, 129, 4));
    zq_GfxPalette(4, -4, 0, 0);  // components do not spill into each other
    EXPECT_EQ(shown(4) & 0xFFFF00u, 0u);
    zq_GfxPalette(4, 0, 0x4000, 0);
    EXPECT_EQ(shown(4) & 0xFF00FFu, 0u);
    zq_GfxPalette(5, -1, -1, -1);  // one negative value: every DAC bit set, white
    EXPECT_EQ(shown(5), rgb_entry(255, 255, 255));
    zq_GfxPalette(-1, 0, 0, 0);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(shown(i), entry_of(zq_palette_256, i)) << i;
    lock_log.palette.clear();
    zq_hRestorePalette();  // resends every entry
    ASSERT_EQ(lock_log.palette.size(), 256u);
    EXPECT_EQ(lock_log.palette[15], (Call{15, 255, 255, 255}));
    EXPECT_EQ(lock_log.palette[255], (Call{255, 0, 0, 0}));
}

TEST_F(PaletteTest, ColourStatementAndOutOfRangeIndexesThatChangeNothing) {
    ASSERT_NO_FATAL_FAILURE(open(0, 7));
    // The colour statement: fg masked to the 16 attributes, bg sets attribute 0
    // to colour-table index -2 & 15, the context's bg stays.
    EXPECT_EQ(zq_GfxColor(0x1A, -2, 0), 15);
    EXPECT_EQ(std::pair(ctx_->fg_color, ctx_->bg_color), std::pair(0xAu, 0u));
    EXPECT_EQ(screen().color_association[0], 14);
    EXPECT_EQ(shown(0), screen().palette[14]);
    // {mode, depth, index, value}: past the 256 entries, past the 16-entry
    // association table of the small palettes, any entry of a direct-colour screen.
    const int32_t cases[][4] = {
        {13, 0, 256, 5}, {13, 0, 100000, 0x3F}, {1, 0, 16, 5}, {1, 0, 255, 5}, {18, 32, 3, 255}};
    for (const auto& [mode, depth, index, value] : cases) {
        ASSERT_NO_FATAL_FAILURE(open(depth, mode));
        const auto before = device_palette();
        zq_GfxPalette(index, value, -1, -1);
        if (depth == 32) {
            std::vector<int32_t> values(256, 0x3F);
            zq_GfxPalette(-1, 0, 0, 0);
            zq_GfxPaletteUsing(values.data());
            EXPECT_EQ(zq_GfxOut(0x3C8, 1) + zq_GfxIn(0x3C9), -2);
            EXPECT_EQ(zq_GfxIn(0x3DA), 8);  // status answers at any depth
        }
        EXPECT_EQ(device_palette(), before) << mode << " " << index;
        EXPECT_TRUE(lock_log.palette.empty());
        EXPECT_EQ(std::pair(dirty_rows(), lock_log.locks), std::pair(std::pair(-1, -1), 0));
    }
}

TEST_F(PaletteTest, PortsWriteAndReadDacLevels) {
    ASSERT_NO_FATAL_FAILURE(open(0, 13));
    ASSERT_EQ(zq_GfxOut(0x3C8, 7), 0);
    for (uint8_t v : {63, 0, 0}) EXPECT_EQ(zq_GfxOut(0x3C9, v), 0);
    EXPECT_EQ(shown(7), rgb_entry(255, 0, 0));
    EXPECT_EQ(dirty_rows(), all_rows());
    for (uint8_t v : {0, 0, 0x7F}) zq_GfxOut(0x3C9, v);  // on to index 8; only 6 bits count
    EXPECT_EQ(shown(8), rgb_entry(0, 0, 255));
    ASSERT_EQ(zq_GfxOut(0x3C7, 7), 0);
    for (int v : {63, 0, 0, 0, 0, 63}) EXPECT_EQ(zq_GfxIn(0x3C9), v);
    EXPECT_EQ(zq_GfxIn(0x3DA), 8);  // waits for the retrace
    EXPECT_EQ(lock_log.vsyncs, 1);
    for (uint16_t port : {0x3C6, 0x3DA}) EXPECT_EQ(zq_GfxOut(port, 1), -1);
    for (uint16_t port : {0x3C8, 0x60}) EXPECT_EQ(zq_GfxIn(port), -1);
}

// Every 16-colour mode shows the 16-colour palette by default (mode 9 picks
// its colours out of its 64, mode 12 out of the 256), and the CGA modes' picks.
TEST_F(PaletteTest, SixteenColourModesShowTheStandardColours) {
    for (int32_t mode : {7, 8, 12, 9}) {
        ASSERT_NO_FATAL_FAILURE(open(0, mode));
        for (int i = 0; i < 16; ++i) EXPECT_EQ(shown(i), entry_of(zq_palette_16, i)) << mode << i;
    }
    zq_GfxPalette(1, 63, -1, -1);  // mode 9 chooses from all 64 colours
    EXPECT_EQ(shown(1), 0xFFFFFFu);
    const int32_t cga[][3] = {{1, 3, 15}, {2, 1, 15}, {10, 1, 1}};  // {mode, attribute, colour}
    for (const auto& [mode, attribute, color] : cga) {
        ASSERT_NO_FATAL_FAILURE(open(0, mode));
        EXPECT_EQ(shown(attribute), entry_of(*screen().default_palette, color)) << mode;
    }
}

// On the small palettes, ports and PaletteUsing go through the colour table.
TEST_F(PaletteTest, EgaPortsAndPaletteUsingUseTheColourTable) {
    ASSERT_NO_FATAL_FAILURE(open(0, 7));
    zq_GfxPalette(9, 4, -1, -1);           // attribute 9 now shows colour 4 too
    ASSERT_EQ(zq_GfxOut(0x3C8, 0x14), 0);  // masked to the 16 colours: 4
    for (uint8_t v : {63, 0, 32}) zq_GfxOut(0x3C9, v);
    const uint32_t color = rgb_entry(252, 0, 128);
    EXPECT_EQ(screen().palette[4], color);
    EXPECT_EQ(std::pair(shown(4), shown(9)), std::pair(color, color));
    EXPECT_EQ(shown(5), entry_of(zq_palette_16, 5));
    EXPECT_EQ(dirty_rows(), all_rows());
    zq_GfxOut(0x3C7, 9);  // reads give what the attributes show
    for (int v : {63, 0, 32}) EXPECT_EQ(zq_GfxIn(0x3C9), v);

    int32_t values[16];  // one per attribute of the 16, not 256
    for (int i = 0; i < 16; ++i) values[i] = i == 3 ? -1 : 15 - i;
    lock_log.palette.clear();
    std::memset(screen().dirty, 0, screen().height);
    zq_GfxPaletteUsing(values);
    for (int i = 0; i < 16; ++i) {
        const int c = i == 3 ? 3 : 15 - i;  // colour 4 is the one the ports changed
        EXPECT_EQ(shown(i), c == 4 ? color : entry_of(zq_palette_16, c)) << i;
    }
    EXPECT_EQ(lock_log.palette.size(), 15u);
    EXPECT_EQ(dirty_rows(), all_rows());
}
