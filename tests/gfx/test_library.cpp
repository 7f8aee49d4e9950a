// The calls made for programs: image buffers and the window's events.
#include "recording_driver.h"

using LibraryTest = RecordingScreenTest;

TEST_F(LibraryTest, ImagesRefusedWhenUndrawablePutClippedWithTheirRowsMarked) {
    const int32_t bad[][3] = {{0, 4, 32}, {4, -1, 32}, {4, 4, 12}, {ZQ_COORD_LIMIT, 1, 32}};
    for (const auto& b : bad) {
        zq_ErrorSetNum(0);
        EXPECT_EQ(zq_GfxImageCreate(b[0], b[1], b[2]), nullptr)
            << b[0] << "x" << b[1] << "x" << b[2];
        EXPECT_EQ(zq_ErrorGetNum(), 1);
    }
    void* image = zq_GfxImageCreate(8, 4, 0);
    ASSERT_NE(image, nullptr);
    zq_GfxLine(image, 0, 0, 7, 3, 0xFF123456, 2, 0xFFFF, 0);
    fill(0);
    EXPECT_EQ(zq_GfxImagePut(nullptr, 60, 46, image), 0);
    EXPECT_EQ(std::pair(having(0xFF123456), dirty_rows()),
              std::pair(rect(60, 46, 63, 47), std::pair(46, 47)));
    EXPECT_EQ(zq_GfxImagePut(nullptr, -100, 0, image), 0);  // wholly outside: nothing
    void* narrow = zq_GfxImageCreate(8, 4, 16);
    EXPECT_EQ(zq_GfxImagePut(nullptr, 0, 0, narrow), 1);  // pixel sizes differ
    EXPECT_EQ(zq_GfxImagePut(image, 0, 0, image), 1);
    zq_GfxImageDestroy(narrow);
    // The context knows a buffer by address: a destroyed one must not leave its
    // rows behind for a new buffer that may get the same address.
    zq_GfxLine(image, 0, 0, 1, 1, 0, 0, 0xFFFF, 0);
    ASSERT_EQ(ctx_->last_target, image);
    zq_GfxImageDestroy(image);
    EXPECT_EQ(ctx_->last_target, nullptr);
    EXPECT_EQ(ctx_->view_w, 64);
}

TEST_F(LibraryTest, GetEventTakesTheOldestFirst) {
    GfxEvent e{};
    for (int32_t button : {1, 4}) {
        e.type = GfxEventType::ButtonDown, e.button = button;
        zq_hPostEvent(&e);
    }
    for (int32_t button : {1, 4}) {
        ASSERT_EQ(zq_GfxGetEvent(&e), 1);
        EXPECT_EQ(std::pair(e.type, e.button), std::pair(GfxEventType::ButtonDown, button));
    }
    EXPECT_EQ(zq_GfxGetEvent(&e), 0);  // empty
    EXPECT_EQ(e.type, GfxEventType::None);
    EXPECT_EQ(zq_GfxSetWindowPos(0, 0), 1);  // the Null driver has no window
}
