// The graphics screen's input: key buffer, event ring and key reads (under a counted
// lock, against an update thread), console keys on the Null driver, mouse and
// key state.
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "console/con_in.h"
#include "console/io_input.h"
#include "gfx/recording_driver.h"

namespace {
std::string inkey() {
    ZqString* s = zq_GfxInkey();
    std::string bytes(s->data, static_cast<size_t>(s->len));
    zq_StrDelTemp(s);
    return bytes;
}

class KeyBuffer : public RecordingScreenTest {
   protected:
    void SetUp() override {
        RecordingScreenTest::SetUp();
        while (zq_GfxKeyHit()) zq_StrDelTemp(zq_GfxInkey());
        zq_hGfxInputBufferChanged();
        lock_log = LockLog{};
    }
};

TEST_F(KeyBuffer, SixteenPostsKeepTheLastFifteenEachReadAsItsString) {
    for (int32_t k = 1; k <= 16; ++k) EXPECT_EQ(zq_hPostKey('@' + k), 1);
    for (int32_t k = 2; k <= 16; ++k) EXPECT_EQ(inkey(), std::string(1, char('@' + k)));
    EXPECT_EQ(inkey(), "");
    // {key, string}: F1, a character, the close button, character 255 in one
    // byte, any code above 255 as extended, a NUL consumed as nothing.
    const std::pair<int32_t, std::string> cases[] = {{0x3BFF, "\xFF\x3B"},
                                                     {0x61, "a"},
                                                     {ZQ_KEY_CLOSE, "\xFFk"},
                                                     {0xFF, "\xFF"},
                                                     {0x0100, std::string("\xFF\x01", 2)},
                                                     {0, ""}};
    lock_log = LockLog{};
    for (const auto& [key, bytes] : cases) {
        zq_hPostKey(key);
        EXPECT_EQ(zq_GfxKeyHit() + zq_GfxKeyHit(), 2) << key;  // a key hit leaves the key
        EXPECT_EQ(inkey(), bytes) << key;
        EXPECT_EQ(zq_GfxKeyHit(), 0) << key;
    }
    EXPECT_EQ(lock_log.locks, 4 * 6);  // each read and test locked once and unlocked
    EXPECT_TRUE(lock_log.paired());
}

// The sleep hook posts the keys Getkey waits for: a NUL, then F1.
std::vector<int32_t> sleeps;
void sleep_and_post(int32_t ms) {
    sleeps.push_back(ms);
    if (sleeps.size() == 1) zq_hPostKey(0);
    if (sleeps.size() == 2) zq_hPostKey(0x3BFF);
}

TEST_F(KeyBuffer, GetkeySleepsAfterEveryAttemptSkipsNulLongSleepsEndOnAKeyAndLeaveIt) {
    sleeps.clear();
    auto saved = __zq_ctx.hooks.hook_sleep;
    __zq_ctx.hooks.hook_sleep = sleep_and_post;
    EXPECT_EQ(zq_GfxGetkey(), 0x3BFF);
    EXPECT_EQ(sleeps, (std::vector<int32_t>{20, 20, 20}));
    zq_hPostKey('a');
    EXPECT_EQ(zq_GfxGetkey(), 'a');
    EXPECT_EQ(sleeps.size(), 4u);
    __zq_ctx.hooks.hook_sleep = saved;
    EXPECT_TRUE(lock_log.paired());
    // Keys outlive the screen, and nothing is read while there is none.
    close();
    zq_hPostKey('x');
    EXPECT_EQ(zq_GfxGetkey(), 0);
    EXPECT_EQ(inkey() + std::to_string(zq_GfxKeyHit()), "0");
    ASSERT_NO_FATAL_FAILURE(open(32));
    EXPECT_EQ(inkey(), "x");

    // {sleep, whether it tests for a key (and so uses up the changed mark)}
    const int32_t cases[][2] = {{-1, 1}, {175, 1}, {100, 1}, {99, 0}, {80, 0}, {0, 0}, {-5, 0}};
    for (const auto& c : cases) {
        zq_hPostKey('k');
        zq_GfxSleep(c[0]);  // returns at once or after c[0] ms
        EXPECT_EQ(zq_hGfxInputBufferChanged(), 1 - c[1]) << c[0];
        EXPECT_EQ(inkey(), "k") << c[0];
    }
    // Without a key: the 50 ms steps and the remainder add up.
    auto start = std::chrono::steady_clock::now();
    zq_GfxSleep(120);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(120));
    EXPECT_TRUE(lock_log.paired());
}

TEST_F(KeyBuffer, EventRingKeepsTheLast127) {
    GfxEvent e{};
    e.type = GfxEventType::KeyDown;
    for (int32_t i = 0; i < 200; ++i) {
        e.key.scan_code = i, e.key.char_code = 2 * i, e.data[2] = -i, e.data[3] = 3 * i;
        zq_hPostEvent(&e);
    }
    const GfxState& s = *__zq_gfx;
    EXPECT_EQ((s.event_tail - s.event_head) & (ZQ_EVENT_SLOTS - 1), ZQ_EVENT_SLOTS - 1);
    for (int32_t i = 73, slot = s.event_head; i < 200; ++i, slot = (slot + 1) % ZQ_EVENT_SLOTS) {
        const GfxEvent& got = s.event_queue[slot];
        ASSERT_EQ(got.type, GfxEventType::KeyDown);
        ASSERT_EQ(
            (std::vector<int32_t>{got.key.scan_code, got.key.char_code, got.data[2], got.data[3]}),
            (std::vector<int32_t>{i, 2 * i, -i, 3 * i}));
    }
    close();
    zq_hPostEvent(&e);  // no screen: dropped
    zq_hPostEvent(nullptr);
}

// A console without input of its own: the tests post into its ring.
// clang-format off
constexpr ConInputSource kQuietConsole = {[] {}, [] {}, [](ConEvent*) { return false; },
    [] { return false; }, [](const ConKeyRecord*, int32_t) {}};
// clang-format on

// On the Null driver the console's keys are the screen's: a burst larger than
// the key buffer waits in the console's ring, none lost. Other drivers leave
// them there.
TEST_F(KeyBuffer, TheNullDriverTakesConsoleKeysWhileThereIsRoom) {
    __zq_con_input = &kQuietConsole;
    zq_hConsoleKeysReset();
    const ConKeyRecord record{};
    for (int32_t k = 0; k < 20; ++k) zq_hConsolePostKey('a' + k, &record);
    zq_hConsolePostKey(0x48FF, &record);
    EXPECT_EQ(zq_GfxKeyHit(), 0);
    EXPECT_EQ(inkey(), "");
    __zq_gfx->driver = saved_driver_;  // the Null driver
    EXPECT_EQ(zq_GfxKeyHit(), 1);
    for (int32_t k = 0; k < 20; ++k) EXPECT_EQ(inkey(), std::string(1, char('a' + k))) << k;
    EXPECT_EQ(inkey(), "\xFFH");
    EXPECT_EQ(inkey(), "");
    zq_hConsoleKeysReset();
    __zq_con_input = &__zq_con_platform_input;
}

std::mutex update_lock;  // a real mutex, as the window drivers' update lock

TEST_F(KeyBuffer, ThreadsKeysFromAnUpdateThreadArriveInOrderWhileTheProgramReads) {
    recorder_.lock = [] { update_lock.lock(); };
    recorder_.unlock = [] { update_lock.unlock(); };
    constexpr int32_t kLast = 250;
    std::atomic<bool> done{false};
    std::thread update([&done] {
        for (int32_t n = 1; n <= kLast; ++n) {
            {
                std::lock_guard<std::mutex> hold(update_lock);
                zq_hPostKey((n << 8) | 0xFF);
            }
            if (n % 8 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        done = true;
    });
    // The buffer may drop keys while the reader is behind, never reorder them.
    std::vector<int32_t> got;
    for (bool finished = false; !finished;) {
        finished = done;
        for (std::string s = inkey(); !s.empty(); s = inkey()) {
            const int32_t n = s.size() == 2 && s[0] == '\xFF' ? static_cast<uint8_t>(s[1]) : -1;
            EXPECT_TRUE(n > 0 && (got.empty() || n > got.back())) << n << " after " << got.size();
            got.push_back(n);
        }
        zq_GfxKeyHit();
        std::this_thread::yield();
    }
    update.join();
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back(), kLast);
}

// Mouse and key state over a recorded mouse (values are checked end to end
// against the X pointer): the optional outputs, the error, the range, the lock.
int32_t mouse_result;

TEST_F(KeyBuffer, MouseAndKeyStateUnderTheLock) {
    recorder_.get_mouse = [](int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons) {
        if (mouse_result == 0) *x = 10, *y = 20, *wheel = -3, *buttons = 5;
        return mouse_result;
    };
    int32_t x = 77, y = 77;
    mouse_result = 0;
    EXPECT_EQ(zq_GfxGetMouse(&x, &y, nullptr, nullptr), 0);
    EXPECT_EQ(std::pair(x, y), std::pair(10, 20));
    mouse_result = -1;
    EXPECT_EQ(zq_GfxGetMouse(&x, &y, nullptr, nullptr), 1);
    EXPECT_EQ(std::pair(x + y, zq_ErrorGetNum()), std::pair(-2, 1));
    EXPECT_EQ(lock_log.locks, 2);
    EXPECT_TRUE(lock_log.paired());

    __zq_gfx->key_state[0x48] = 1;
    __zq_gfx->key_state[127] = 1;
    const int32_t cases[][3] = {{0x48, -1, 1}, {127, -1, 1}, {0x2A, 0, 1},     {0, 0, 1},
                                {128, 0, 0},   {-1, 0, 0},   {INT32_MIN, 0, 0}};
    for (const auto& [scan, result, locks] : cases) {
        lock_log = LockLog{};
        EXPECT_EQ(zq_GfxMultikey(scan), result) << scan;
        EXPECT_EQ(lock_log.locks, locks) << scan;
    }
    // The Null driver has no mouse; without a screen there is none either.
    for (bool screen : {true, false}) {
        if (screen) __zq_gfx->driver = saved_driver_;
        if (!screen) close();
        int32_t wheel = 5, buttons = 5;
        EXPECT_EQ(zq_GfxGetMouse(&x, &y, &wheel, &buttons), 1);
        EXPECT_EQ((std::vector{x, y, wheel, buttons}), (std::vector{-1, -1, -1, -1}));
        EXPECT_EQ(zq_GfxSetMouse(0, 0, 1), 1);
    }
    EXPECT_EQ(zq_GfxMultikey(0x48), 0);
}

}  // namespace
