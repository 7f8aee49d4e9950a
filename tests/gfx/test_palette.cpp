// Colour conversion, the palette statement and the VGA port emulation.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "gfx/gfx_internal.h"
#include "gfx_test_util.h"

namespace {

// A driver that records what the palette code asks of it.
struct DriverLog {
    int locks = 0, unlocks = 0, vsyncs = 0;
    std::vector<std::array<int32_t, 4>> palette_calls;
};
DriverLog driver_log;

void fake_lock() {
    ++driver_log.locks;
}
void fake_unlock() {
    ++driver_log.unlocks;
}
void fake_wait_vsync() {
    ++driver_log.vsyncs;
}
void fake_set_palette(int32_t i, int32_t r, int32_t g, int32_t b) {
    driver_log.palette_calls.push_back({i, r, g, b});
}

const GfxDriver fake_driver = {
    "Fake",  nullptr, nullptr, fake_lock, fake_unlock, fake_set_palette, fake_wait_vsync,
    nullptr, nullptr, nullptr, nullptr,   nullptr,     nullptr,          nullptr,
};

uint32_t rgb_entry(uint32_t r, uint32_t g, uint32_t b) {
    return r | g << 8 | b << 16;
}

uint32_t entry_of(const PaletteDesc& p, int i) {
    const uint8_t* c = p.data + i * 3;
    return rgb_entry(c[0], c[1], c[2]);
}

// A screen of the given mode on the Null driver, then swapped to the
// recording driver.
template <int32_t Mode, int32_t Depth = 0>
class ModeTest : public NullScreenTest {
   protected:
    int32_t open_screen() override {
        return zq_GfxScreen(Mode, Depth, 1, DriverFlags::NoDisplay, 0);
    }
    void SetUp() override {
        NullScreenTest::SetUp();
        if (HasFatalFailure()) return;
        screen().driver = &fake_driver;
        driver_log = {};
        std::memset(screen().dirty, 0, screen().height);
    }

    uint32_t shown(int i) { return screen().device_palette[i]; }
    bool all_dirty() {
        for (int32_t y = 0; y < screen().height; ++y) {
            if (!screen().dirty[y]) return false;
        }
        return true;
    }
    bool none_dirty() {
        for (int32_t y = 0; y < screen().height; ++y) {
            if (screen().dirty[y]) return false;
        }
        return true;
    }
    std::vector<uint32_t> device_palette() {
        return {screen().device_palette, screen().device_palette + 256};
    }
};

using Palette256Test = ModeTest<13>;
using Palette32Test = ModeTest<18, 32>;
using PaletteCgaTest = ModeTest<1>;
using PaletteMonoCgaTest = ModeTest<2>;
using PaletteEga16Test = ModeTest<7>;
using PaletteEga64Test = ModeTest<9>;
using PaletteMonoTest = ModeTest<10>;

}  // namespace

// ---- colour values ----

TEST(PaletteColor, FixColorForEachPixelSize) {
    EXPECT_EQ(zq_hFixColor(2, 0x00FF8000u), 0xFC00u);
    EXPECT_EQ(zq_hFixColor(2, 0xFFFFFFFFu), 0xFFFFu);
    EXPECT_EQ(zq_hFixColor(2, 0x000000F8u), 0x001Fu);
    EXPECT_EQ(zq_hFixColor(1, 0x1234u), 0x34u);
    EXPECT_EQ(zq_hFixColor(4, 0x80FF8000u), 0x80FF8000u);
    EXPECT_EQ(zq_hMakeColor(2, 0, 0x08, 0x04, 0x08), 0x0821u);
    EXPECT_EQ(zq_hMakeColor(4, 0x12345678u, 255, 255, 255), 0x12345678u);
}

TEST(PaletteColor, CurrentTargetFormWithoutAScreenIsUnchanged) {
    ASSERT_EQ(__zq_gfx, nullptr);
    EXPECT_EQ(zq_hFixColor(0x80FF8000u), 0x80FF8000u);
    EXPECT_EQ(zq_hMakeColor(0x00FF8000u, 1), 0x00FF8000u);
}

using PaletteHiColorTest = ModeTest<18, 16>;

TEST_F(PaletteHiColorTest, CurrentTargetFormFollowsTheScreen) {
    EXPECT_EQ(zq_hFixColor(0xFFFF8000u), 0xFC00u);
    EXPECT_EQ(zq_hMakeColor(0x00FF8000u, 1), 0xFC00u);
    EXPECT_EQ(zq_hMakeColor(0x00FF8000u, 0), 0x00FF8000u);
}

// ---- 256-colour screens ----

TEST_F(Palette256Test, OpeningLoadsTheDefaultPalette) {
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(shown(i), entry_of(zq_palette_256, i)) << i;
        ASSERT_EQ(screen().palette[i], entry_of(zq_palette_256, i)) << i;
    }
}

TEST_F(Palette256Test, ComponentsAreReducedToDacLevelsAndScaledBack) {
    zq_GfxPalette(3, 255, 128, 0);
    EXPECT_EQ(shown(3), rgb_entry(255, 129, 0));
    ASSERT_EQ(driver_log.palette_calls.size(), 1u);
    EXPECT_EQ(driver_log.palette_calls[0], (std::array<int32_t, 4>{3, 255, 129, 0}));
    EXPECT_TRUE(all_dirty());
    EXPECT_EQ(driver_log.locks, 1);
    EXPECT_EQ(driver_log.unlocks, 1);
    EXPECT_EQ(screen().flags & (SCREEN_LOCKED | SCREEN_LOCK_SET), 0u);
}

TEST_F(Palette256Test, DacValueForm) {
    zq_GfxPalette(5, 0x3F0000, -1, -1);
    EXPECT_EQ(shown(5), rgb_entry(0, 0, 255));
    zq_GfxPalette(6, 0x01203F, -1, 0);
    EXPECT_EQ(shown(6), rgb_entry(255, 129, 4));
}

TEST_F(Palette256Test, RestoreBringsBackTheDefault) {
    zq_GfxPalette(3, 255, 255, 255);
    zq_GfxPalette(200, 0x3F3F3F, -1, -1);
    zq_GfxPalette(-1, 0, 0, 0);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(shown(i), entry_of(zq_palette_256, i)) << i;
}

TEST_F(Palette256Test, AnOuterLockIsLeftAlone) {
    screen().flags |= SCREEN_LOCKED;
    zq_GfxPalette(1, 10, 20, 30);
    EXPECT_EQ(driver_log.locks, 0);
    EXPECT_EQ(driver_log.unlocks, 0);
    EXPECT_EQ(screen().flags & SCREEN_LOCKED, SCREEN_LOCKED);
    screen().flags &= ~SCREEN_LOCKED;
}

TEST_F(Palette256Test, IndexesOutsideThePaletteAreIgnored) {
    const auto before = device_palette();
    zq_GfxPalette(256, 255, 0, 0);
    zq_GfxPalette(100000, 0x3F, -1, -1);
    zq_GfxPalette(7, -5, -1, -1);  // negative DAC value
    EXPECT_EQ(device_palette(), before);
    EXPECT_TRUE(driver_log.palette_calls.empty());
    EXPECT_TRUE(none_dirty());
    EXPECT_EQ(driver_log.locks, 0);
}

TEST_F(Palette256Test, ComponentsDoNotSpillIntoEachOther) {
    zq_GfxPalette(4, -4, 0, 0);
    EXPECT_EQ(shown(4) & 0xFFFF00u, 0u);
    zq_GfxPalette(4, 0, 0x4000, 0);
    EXPECT_EQ(shown(4) & 0xFF00FFu, 0u);
}

TEST_F(Palette256Test, PaletteUsingSkipsNegativeValues) {
    std::vector<int32_t> values(256, -1);
    values[0] = 0x3F;
    values[255] = 0x3F3F3F;
    const auto before = device_palette();
    zq_GfxPaletteUsing(values.data());
    EXPECT_EQ(shown(0), rgb_entry(255, 0, 0));
    EXPECT_EQ(shown(255), rgb_entry(255, 255, 255));
    for (int i = 1; i < 255; ++i) ASSERT_EQ(shown(i), before[i]) << i;
    EXPECT_TRUE(all_dirty());
}

TEST_F(Palette256Test, RestorePaletteResendsEveryEntry) {
    zq_GfxPalette(9, 0x102030, -1, -1);
    driver_log.palette_calls.clear();
    zq_hRestorePalette();
    ASSERT_EQ(driver_log.palette_calls.size(), 256u);
    for (int i = 0; i < 256; ++i) {
        const uint32_t e = shown(i);
        ASSERT_EQ(driver_log.palette_calls[i],
                  (std::array<int32_t, 4>{i, int32_t(e & 0xFF), int32_t(e >> 8 & 0xFF),
                                          int32_t(e >> 16 & 0xFF)}));
    }
}

// ---- direct colour ----

TEST_F(Palette32Test, PaletteStatementsChangeNothing) {
    const auto before = device_palette();
    std::vector<int32_t> values(256, 0x3F);
    zq_GfxPalette(3, 255, 128, 0);
    zq_GfxPalette(-1, 0, 0, 0);
    zq_GfxPaletteUsing(values.data());
    EXPECT_EQ(device_palette(), before);
    EXPECT_TRUE(driver_log.palette_calls.empty());
    EXPECT_TRUE(none_dirty());
    EXPECT_EQ(zq_GfxOut(0x3C8, 1), -1);
    EXPECT_EQ(zq_GfxIn(0x3C9), -1);
}

// ---- small palettes ----

TEST_F(PaletteCgaTest, OpensWithTheFirstCgaPalette) {
    EXPECT_EQ(shown(1), entry_of(zq_palette_16, 11));
    EXPECT_EQ(shown(2), entry_of(zq_palette_16, 13));
    EXPECT_EQ(shown(3), entry_of(zq_palette_16, 15));
}

TEST_F(PaletteCgaTest, NegativeIndexesSelectTheCgaPalettes) {
    struct Case {
        int32_t index;
        std::array<int, 3> colors;
    };
    for (const Case& c : {Case{-2, {10, 12, 14}}, Case{-3, {3, 5, 7}}, Case{-7, {2, 4, 6}},
                          Case{-4, {2, 4, 6}}, Case{-1, {11, 13, 15}}}) {
        zq_GfxPalette(c.index, 0, 0, 0);
        for (int a = 1; a <= 3; ++a) {
            EXPECT_EQ(shown(a), entry_of(zq_palette_16, c.colors[a - 1]))
                << "index " << c.index << " attribute " << a;
            EXPECT_EQ(screen().color_association[a], c.colors[a - 1]);
        }
        EXPECT_EQ(shown(0), 0u);
    }
}

TEST_F(PaletteCgaTest, AttributeTakesAColourIndex) {
    zq_GfxPalette(0, 20, -1, -1);  // 20 wraps to colour 4 of 16
    EXPECT_EQ(screen().color_association[0], 4);
    EXPECT_EQ(shown(0), entry_of(zq_palette_16, 4));
    zq_GfxPalette(2, 9, 0, 0);  // component form: red 9 -> level 2
    EXPECT_EQ(shown(2), entry_of(zq_palette_16, 2));
}

TEST_F(PaletteCgaTest, AttributesPastTheAssociationTableAreIgnored) {
    const auto before = device_palette();
    uint8_t association[16];
    std::memcpy(association, screen().color_association, 16);
    zq_GfxPalette(16, 5, -1, -1);
    zq_GfxPalette(255, 5, -1, -1);
    EXPECT_EQ(device_palette(), before);
    EXPECT_EQ(std::memcmp(association, screen().color_association, 16), 0);
    EXPECT_TRUE(driver_log.palette_calls.empty());
}

TEST_F(PaletteMonoCgaTest, ShowsBlackAndWhite) {
    EXPECT_EQ(shown(0), rgb_entry(0, 0, 0));
    EXPECT_EQ(shown(1), rgb_entry(255, 255, 255));
}

TEST_F(PaletteEga64Test, OpensWithTheEgaColoursOfTheBigPalette) {
    EXPECT_EQ(shown(6), rgb_entry(170, 85, 0));
    for (int a = 8; a < 16; ++a) EXPECT_EQ(shown(a), entry_of(zq_palette_64, 48 + a)) << a;
    for (int i = 0; i < 64; ++i) EXPECT_EQ(screen().palette[i], entry_of(zq_palette_64, i));
    zq_GfxPalette(1, 63, -1, -1);
    EXPECT_EQ(shown(1), rgb_entry(255, 255, 255));
}

TEST_F(PaletteEga16Test, PaletteUsingSetsEachAttribute) {
    int32_t values[16];
    for (int i = 0; i < 16; ++i) values[i] = 15 - i;
    values[3] = -1;
    zq_GfxPaletteUsing(values);
    EXPECT_EQ(shown(0), entry_of(zq_palette_16, 15));
    EXPECT_EQ(shown(3), entry_of(zq_palette_16, 3));
    EXPECT_EQ(shown(15), entry_of(zq_palette_16, 0));
    EXPECT_EQ(driver_log.palette_calls.size(), 15u);
}

// ---- ports ----

TEST_F(Palette256Test, PortWritesSetAndReadsReturnDacLevels) {
    ASSERT_EQ(zq_GfxOut(0x3C8, 7), 0);
    for (uint8_t v : {63, 0, 0}) EXPECT_EQ(zq_GfxOut(0x3C9, v), 0);
    EXPECT_EQ(shown(7), rgb_entry(255, 0, 0));
    EXPECT_TRUE(all_dirty());
    // The index moved on to 8.
    for (uint8_t v : {0, 0, 0x7F}) zq_GfxOut(0x3C9, v);  // only 6 bits count
    EXPECT_EQ(shown(8), rgb_entry(0, 0, 255));

    ASSERT_EQ(zq_GfxOut(0x3C7, 7), 0);
    EXPECT_EQ(zq_GfxIn(0x3C9), 63);
    EXPECT_EQ(zq_GfxIn(0x3C9), 0);
    EXPECT_EQ(zq_GfxIn(0x3C9), 0);
    EXPECT_EQ(zq_GfxIn(0x3C9), 0);  // index 8
    EXPECT_EQ(zq_GfxIn(0x3C9), 0);
    EXPECT_EQ(zq_GfxIn(0x3C9), 63);
}

TEST_F(Palette256Test, OtherPortsAreNotHandled) {
    EXPECT_EQ(zq_GfxOut(0x3C6, 1), -1);
    EXPECT_EQ(zq_GfxOut(0x3DA, 1), -1);
    EXPECT_EQ(zq_GfxIn(0x3C8), -1);
    EXPECT_EQ(zq_GfxIn(0x60), -1);
}

TEST_F(Palette256Test, InputStatusWaitsForRetrace) {
    EXPECT_EQ(zq_GfxIn(0x3DA), 8);
    EXPECT_EQ(driver_log.vsyncs, 1);
}

TEST_F(Palette32Test, InputStatusAnswersAtAnyDepth) {
    EXPECT_EQ(zq_GfxIn(0x3DA), 8);
}

TEST(PalettePorts, NothingIsHandledWithoutAScreen) {
    ASSERT_EQ(__zq_gfx, nullptr);
    EXPECT_EQ(zq_GfxIn(0x3DA), -1);
    EXPECT_EQ(zq_GfxIn(0x3C9), -1);
    EXPECT_EQ(zq_GfxOut(0x3C8, 0), -1);
    zq_GfxPalette(1, 2, 3, 4);  // no screen: no effect, no crash
    zq_GfxPalette(-1, 0, 0, 0);
    zq_hRestorePalette();
}

TEST_F(PaletteEga16Test, PortWriteChangesTheColourTableEntry) {
    zq_GfxPalette(9, 4, -1, -1);           // attribute 9 now shows colour 4 too
    ASSERT_EQ(zq_GfxOut(0x3C8, 0x14), 0);  // masked to the 16 colours: 4
    for (uint8_t v : {63, 0, 32}) zq_GfxOut(0x3C9, v);
    const uint32_t color = rgb_entry(252, 0, 128);
    EXPECT_EQ(screen().palette[4], color);
    EXPECT_EQ(shown(4), color);
    EXPECT_EQ(shown(9), color);
    EXPECT_EQ(shown(5), entry_of(zq_palette_16, 5));
    EXPECT_TRUE(all_dirty());
    // Reads give what the attributes show.
    zq_GfxOut(0x3C7, 9);
    EXPECT_EQ(zq_GfxIn(0x3C9), 63);
    EXPECT_EQ(zq_GfxIn(0x3C9), 0);
    EXPECT_EQ(zq_GfxIn(0x3C9), 32);
}

TEST_F(PaletteMonoTest, PortWriteReachesTheAttributeShowingTheEntry) {
    zq_GfxOut(0x3C8, 1);
    for (uint8_t v : {0, 63, 0}) zq_GfxOut(0x3C9, v);
    EXPECT_EQ(shown(1), rgb_entry(0, 252, 0));
    EXPECT_EQ(shown(0), rgb_entry(0, 0, 0));
    // Index 1 was the last of the two colours: the next one is 0 again.
    for (uint8_t v : {0, 0, 63}) zq_GfxOut(0x3C9, v);
    EXPECT_EQ(shown(0), rgb_entry(0, 0, 252));
}

TEST_F(Palette256Test, RegisterStateOutlivesTheScreen) {
    zq_GfxOut(0x3C8, 40);
    zq_GfxOut(0x3C9, 63);
    ASSERT_EQ(zq_GfxScreen(13, 0, 1, DriverFlags::NoDisplay, 0), 0);
    zq_GfxOut(0x3C9, 63);
    zq_GfxOut(0x3C9, 63);
    EXPECT_EQ(screen().device_palette[40], rgb_entry(255, 255, 255));
}
