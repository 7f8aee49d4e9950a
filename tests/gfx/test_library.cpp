// The calls made for programs: image buffers and the window's events.
#include "gfx_test_util.h"

namespace {
class LibraryTest : public NullScreenTest {
    int32_t open_screen() override {
        return zq_GfxScreenRes(64, 32, 32, 1, DriverFlags::NoDisplay, 0);
    }
};

uint32_t pixel(int32_t x, int32_t y) {
    return reinterpret_cast<uint32_t*>(__zq_gfx->framebuffer + y * __zq_gfx->pitch)[x];
}
}  // namespace

TEST_F(LibraryTest, ImageCreateRefusesWhatCannotBeDrawn) {
    const int32_t bad[][3] = {{0, 4, 32}, {4, -1, 32}, {4, 4, 12}, {ZQ_COORD_LIMIT, 1, 32}};
    for (const auto& b : bad) {
        zq_ErrorSetNum(0);
        EXPECT_EQ(zq_GfxImageCreate(b[0], b[1], b[2]), nullptr)
            << b[0] << "x" << b[1] << "x" << b[2];
        EXPECT_EQ(zq_ErrorGetNum(), 1);
    }
}

TEST_F(LibraryTest, ImagePutClipsToTheViewAndMarksTheRows) {
    void* image = zq_GfxImageCreate(8, 4, 0);
    ASSERT_NE(image, nullptr);
    zq_GfxLine(image, 0, 0, 7, 3, 0xFF123456, 2, 0xFFFF, 0);
    EXPECT_EQ(zq_GfxImagePut(nullptr, 60, 30, image), 0);
    EXPECT_EQ(pixel(60, 30) & pixel(63, 31), 0xFF123456u);
    EXPECT_EQ(pixel(59, 30) | screen().dirty[29], 0u);
    EXPECT_EQ(screen().dirty[30] & screen().dirty[31], 1);
    EXPECT_EQ(zq_GfxImagePut(nullptr, -100, 0, image), 0);  // wholly outside: nothing
    void* narrow = zq_GfxImageCreate(8, 4, 16);
    EXPECT_EQ(zq_GfxImagePut(nullptr, 0, 0, narrow), 1);  // pixel sizes differ
    EXPECT_EQ(zq_GfxImagePut(image, 0, 0, image), 1);
    zq_GfxImageDestroy(narrow);
    // The context knows a buffer by address: a destroyed one must not leave its
    // rows behind for a new buffer that may get the same address.
    zq_GfxLine(image, 0, 0, 1, 1, 0, 0, 0xFFFF, 0);
    ASSERT_EQ(context().last_target, image);
    zq_GfxImageDestroy(image);
    EXPECT_EQ(context().last_target, nullptr);
    EXPECT_EQ(context().view_w, 64);
}

TEST_F(LibraryTest, GetEventTakesTheOldestFirst) {
    GfxEvent e{};
    for (int32_t button : {1, 4}) {
        e.type = GfxEventType::ButtonDown, e.button = button;
        zq_hPostEvent(&e);
    }
    for (int32_t button : {1, 4}) {
        ASSERT_EQ(zq_GfxGetEvent(&e), 1);
        EXPECT_EQ(e.type, GfxEventType::ButtonDown);
        EXPECT_EQ(e.button, button);
    }
    EXPECT_EQ(zq_GfxGetEvent(&e), 0);  // empty
    EXPECT_EQ(e.type, GfxEventType::None);
    EXPECT_EQ(zq_GfxSetWindowPos(0, 0), 1);  // the Null driver has no window
}
