// The key buffer, the event ring and the key reads of the graphics screen.
// KeyBuffer runs on one thread with a driver that counts its lock calls;
// InputThreads plays the update thread against the program's reads.
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "console/io_input.h"
#include "gfx/recording_driver.h"

namespace {
std::string inkey() {
    ZqString* s = zq_GfxInkey();
    std::string bytes(s->data, static_cast<size_t>(s->len));
    zq_StrDelTemp(s);
    return bytes;
}

// Reads every waiting key and forgets the changed mark.
void drain_keys() {
    while (zq_GfxKeyHit()) zq_StrDelTemp(zq_GfxInkey());
    zq_hGfxInputBufferChanged();
}

GfxEvent key_event(GfxEventType type, int32_t scan, int32_t ch) {
    GfxEvent e{};
    e.type = type;
    e.key.scan_code = scan;
    e.key.char_code = ch;
    return e;
}

int32_t events_held() {
    return (__zq_gfx->event_tail - __zq_gfx->event_head) & (ZQ_EVENT_SLOTS - 1);
}

class KeyBuffer : public RecordingScreenTest {
   protected:
    void SetUp() override {
        RecordingScreenTest::SetUp();
        drain_keys();
        lock_log = LockLog{};
    }
};

TEST_F(KeyBuffer, SixteenPostsKeepTheLastFifteen) {
    zq_hPostKey('z');
    EXPECT_EQ(zq_GfxKeyHit(), 1);  // a key hit leaves the key
    EXPECT_EQ(zq_GfxKeyHit(), 1);
    EXPECT_EQ(inkey(), "z");
    for (int32_t k = 1; k <= 16; ++k) EXPECT_EQ(zq_hPostKey('@' + k), 1);
    for (int32_t k = 2; k <= 16; ++k) EXPECT_EQ(inkey(), std::string(1, char('@' + k)));
    EXPECT_EQ(inkey(), "");
    EXPECT_EQ(zq_GfxKeyHit(), 0);
    EXPECT_TRUE(lock_log.paired());
}

TEST_F(KeyBuffer, InkeyEncodesEachKeyCode) {
    const struct {
        int32_t key;
        std::string bytes;
    } cases[] = {
        {0x3BFF, "\xFF\x3B"},                  // F1
        {0x61, "a"},                           // a character
        {ZQ_KEY_CLOSE, "\xFFk"},               // the close button
        {0xFF, "\xFF"},                        // character 255 is one byte
        {0x0100, std::string("\xFF\x01", 2)},  // any code above 255 is extended
        {0, ""},                               // a NUL is consumed and reads as nothing
    };
    for (const auto& c : cases) {
        zq_hPostKey(c.key);
        EXPECT_EQ(inkey(), c.bytes) << c.key;
        EXPECT_EQ(zq_GfxKeyHit(), 0) << c.key;
    }
    EXPECT_EQ(inkey(), "");
    // Each read took the display lock once and gave it back.
    EXPECT_EQ(lock_log.locks, 2 * 6 + 1);
    EXPECT_TRUE(lock_log.paired());
}

// The sleep hook posts the keys Getkey waits for: a NUL, then F1.
std::vector<int32_t> sleeps;
void sleep_and_post(int32_t ms) {
    sleeps.push_back(ms);
    if (sleeps.size() == 1) zq_hPostKey(0);
    if (sleeps.size() == 2) zq_hPostKey(0x3BFF);
}

TEST_F(KeyBuffer, GetkeySleepsAfterEveryAttemptAndSkipsNul) {
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
}

TEST_F(KeyBuffer, KeysOutliveTheScreen) {
    close();
    zq_hPostKey('x');
    EXPECT_EQ(zq_GfxGetkey(), 0);
    EXPECT_EQ(inkey(), "");
    EXPECT_EQ(zq_GfxKeyHit(), 0);
    ASSERT_NO_FATAL_FAILURE(open(32));
    EXPECT_EQ(inkey(), "x");
}

TEST_F(KeyBuffer, LongSleepsEndOnAPostedKeyAndLeaveIt) {
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
    EXPECT_EQ(events_held(), 0);
    for (int32_t i = 0; i < 200; ++i) {
        GfxEvent e = key_event(GfxEventType::KeyDown, i, 2 * i);
        e.data[2] = -i;
        e.data[3] = 3 * i;
        zq_hPostEvent(&e);
    }
    const GfxState& s = *__zq_gfx;
    EXPECT_EQ(s.event_tail, 200 % ZQ_EVENT_SLOTS);
    EXPECT_EQ(s.event_head, (s.event_tail + 1) % ZQ_EVENT_SLOTS);
    for (int32_t i = 73, slot = s.event_head; i < 200; ++i, slot = (slot + 1) % ZQ_EVENT_SLOTS) {
        const GfxEvent& e = s.event_queue[slot];
        ASSERT_EQ(e.type, GfxEventType::KeyDown);
        ASSERT_EQ((std::vector<int32_t>{e.key.scan_code, e.key.char_code, e.data[2], e.data[3]}),
                  (std::vector<int32_t>{i, 2 * i, -i, 3 * i}));
    }
    close();
    GfxEvent e = key_event(GfxEventType::CloseRequest, 0, 0);
    zq_hPostEvent(&e);  // no screen: dropped
    zq_hPostEvent(nullptr);
}

// ---- Against an update thread ----

// A driver whose lock is a real mutex, as the window drivers' update lock.
std::mutex update_lock;

class InputThreads : public RecordingScreenTest {
   protected:
    void SetUp() override {
        RecordingScreenTest::SetUp();
        recorder_.lock = [] { update_lock.lock(); };
        recorder_.unlock = [] { update_lock.unlock(); };
        drain_keys();
    }

    // What the window procedure does for one key-down: a key and an event.
    static void post_from_window(int32_t key, int32_t scan) {
        std::lock_guard<std::mutex> hold(update_lock);
        zq_hPostKey(key);
        GfxEvent e = key_event(GfxEventType::KeyDown, scan, 0);
        zq_hPostEvent(&e);
    }
};

TEST_F(InputThreads, KeysArriveInOrderWhileTheProgramReads) {
    constexpr int32_t kLast = 250;
    std::atomic<bool> done{false};
    std::thread update([&done] {
        for (int32_t n = 1; n <= kLast; ++n) {
            post_from_window((n << 8) | 0xFF, n);
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
    EXPECT_EQ(events_held(), ZQ_EVENT_SLOTS - 1);
    int32_t newest = (__zq_gfx->event_tail - 1) & (ZQ_EVENT_SLOTS - 1);
    EXPECT_EQ(__zq_gfx->event_queue[newest].key.scan_code, kLast);
}

TEST_F(InputThreads, SleepUntilKeyWakesOnAPostAndLeavesTheKey) {
    std::thread update([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        post_from_window('s', 0x1F);
    });
    zq_GfxSleep(-1);
    update.join();
    EXPECT_EQ(zq_GfxKeyHit(), 1);
    EXPECT_EQ(inkey(), "s");
}

TEST_F(InputThreads, GetkeyWaitsForTheUpdateThread) {
    std::thread update([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        post_from_window(0x48FF, 0x48);
    });
    EXPECT_EQ(zq_GfxGetkey(), 0x48FF);
    update.join();
}
}  // namespace
