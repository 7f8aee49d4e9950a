// The mouse and key state of the graphics screen: zq_GfxGetMouse,
// zq_GfxSetMouse and zq_GfxMultikey over a driver whose mouse is a record.
#include "gfx/recording_driver.h"

namespace {
struct FakeMouse {
    int32_t result = 0;  // of get_mouse
    int32_t x = 0, y = 0, wheel = 0, buttons = 0;
    int32_t set_x = 0, set_y = 0, set_cursor = 0, sets = 0;
};
FakeMouse fake;

class MouseAndKeys : public RecordingScreenTest {
   protected:
    void SetUp() override {
        RecordingScreenTest::SetUp();
        fake = FakeMouse{};
        recorder_.get_mouse = [](int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons) {
            if (fake.result != 0) return fake.result;
            *x = fake.x, *y = fake.y, *wheel = fake.wheel, *buttons = fake.buttons;
            return 0;
        };
        recorder_.set_mouse = [](int32_t x, int32_t y, int32_t cursor) {
            fake.set_x = x, fake.set_y = y, fake.set_cursor = cursor, ++fake.sets;
        };
    }
};

// Positions, buttons, the wheel and -1 outside the window are checked end to
// end against the X pointer; here the optional outputs, the error and the lock.
TEST_F(MouseAndKeys, GetAndSetMouseUnderTheLock) {
    fake = {0, 10, 20, -3, 5};
    int32_t x = 77, y = 77;
    EXPECT_EQ(zq_GfxGetMouse(&x, &y, nullptr, nullptr), 0);
    EXPECT_EQ(std::pair(x, y), std::pair(10, 20));
    fake.result = -1;
    EXPECT_EQ(zq_GfxGetMouse(&x, &y, nullptr, nullptr), 1);
    EXPECT_EQ(std::pair(x + y, zq_ErrorGetNum()), std::pair(-2, 1));
    EXPECT_EQ(zq_GfxSetMouse(-1, -1, 0), 0);
    EXPECT_EQ((std::vector<int32_t>{fake.set_x, fake.set_y, fake.set_cursor, fake.sets}),
              (std::vector<int32_t>{-1, -1, 0, 1}));
    EXPECT_EQ(lock_log.locks, 3);
    EXPECT_TRUE(lock_log.paired());
}

TEST_F(MouseAndKeys, MultikeyReadsKeyStateInRangeOnly) {
    __zq_gfx->key_state[0x48] = 1;
    __zq_gfx->key_state[127] = 1;
    struct Case {
        int32_t scan, result, locks;
    } cases[] = {{0x48, -1, 1}, {127, -1, 1}, {0x2A, 0, 1},     {0, 0, 1},
                 {128, 0, 0},   {-1, 0, 0},   {INT32_MIN, 0, 0}};
    for (const Case& c : cases) {
        lock_log = LockLog{};
        EXPECT_EQ(zq_GfxMultikey(c.scan), c.result) << c.scan;
        EXPECT_EQ(lock_log.locks, c.locks) << c.scan;
    }
}

TEST(MouseAndKeysClosed, NoScreenOrNoMouseGivesErrorOne) {
    int32_t x = 5, y = 5, wheel = 5, buttons = 5;
    ASSERT_EQ(__zq_gfx, nullptr);
    EXPECT_EQ(zq_GfxGetMouse(&x, &y, &wheel, &buttons), 1);
    EXPECT_EQ((std::vector<int32_t>{x, y, wheel, buttons}), (std::vector<int32_t>{-1, -1, -1, -1}));
    EXPECT_EQ(zq_GfxSetMouse(0, 0, 1), 1);
    EXPECT_EQ(zq_GfxMultikey(1), 0);
    // The Null driver has no mouse.
    ASSERT_EQ(zq_GfxScreenRes(64, 48, 32, 0, -1, 0), 0);
    x = y = 5;
    EXPECT_EQ(zq_GfxGetMouse(&x, &y, nullptr, nullptr), 1);
    EXPECT_EQ(x + y, -2);
    EXPECT_EQ(zq_GfxSetMouse(0, 0, 1), 1);
    zq_GfxScreen(0, 0, 0, 0, 0);
}
}  // namespace
