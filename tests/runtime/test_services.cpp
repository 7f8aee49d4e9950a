// Error record, context slots, mutexes, timer, executable name, run-time
// library loading and temporary strings.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "runtime/rt_internal.h"
#include "runtime/sys.h"
#include "runtime/zq_rt.h"

TEST(ErrorRecord, KeepsNumberAndNamesInSlotZero) {
    EXPECT_EQ(zq_ErrorSetNum(3), 3);
    const char* first = zq_ErrorSetModName("mod");
    EXPECT_STREQ(zq_ErrorSetModName(first), "mod");
    auto* rec = static_cast<ErrorContext*>(zq_TlsGetCtx(0, sizeof(ErrorContext)));
    EXPECT_EQ(rec->err_num, 3);
    zq_ErrorSetNum(0);
}

TEST(ContextSlots, AllocateOnceAndRejectBadIndexes) {
    void* a = zq_TlsGetCtx(3, 64);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(zq_TlsGetCtx(3, 128), a);  // the first size stays
    zq_TlsDelCtx(3);
    EXPECT_EQ(__zq_ctx.ctx_slots[3], nullptr);
    for (int32_t bad : {-1, 5, 1 << 30}) {
        EXPECT_EQ(zq_TlsGetCtx(bad, 8), nullptr);
        zq_TlsDelCtx(bad);
    }
}

TEST(MutexThreads, ExcludeEachOtherAndAnyThreadMayUnlock) {
    ZqMutex* m = zq_MutexCreate();
    ASSERT_NE(m, nullptr);
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            zq_MutexLock(m);
            ++counter;  // plain int: only the mutex keeps this exact
            zq_MutexUnlock(m);
        }
    };
    std::thread t1(work), t2(work);
    t1.join();
    t2.join();
    EXPECT_EQ(counter, 40000);

    // Locked here, released by another thread: the waiter then gets through.
    zq_MutexLock(m);
    std::atomic<bool> got{false};
    std::thread waiter([&] {
        zq_MutexLock(m);
        got = true;
    });
    std::thread releaser([&] { zq_MutexUnlock(m); });
    releaser.join();
    waiter.join();
    EXPECT_TRUE(got);
    zq_MutexUnlock(m);
    zq_MutexUnlock(m);  // a second release keeps it binary
    zq_MutexLock(m);
    zq_MutexDestroy(m);
    zq_MutexDestroy(nullptr);
}

TEST(Timer, UsesThePerformanceCounterOrFallsBackToTicks) {
    zq_hTimerReset(nullptr);
    double a = zq_Timer();
    EXPECT_EQ(zq_hTimerMode(), 2);
    EXPECT_GE(zq_Timer(), a);

    zq_hTimerReset([]() -> int64_t { return 0; });  // no performance counter
    EXPECT_NEAR(zq_Timer(), sys_tick_count() * 0.001, 1.0);
    EXPECT_EQ(zq_hTimerMode(), 1);
    zq_hTimerReset(nullptr);
}

// The name itself is the default window title, checked end to end.
TEST(ExeName, CutShortStillTerminated) {
    char tiny[4];
    char* cut = zq_hGetExeName(tiny, sizeof tiny);  // cut short, still terminated
    EXPECT_LT(std::strlen(tiny), sizeof tiny);
    EXPECT_TRUE(cut >= tiny && cut <= tiny + 3);
}

TEST(DynLoad, ResolvesNamesAndUnloadsOnAMissingOne) {
    const char* both[] = {"zq_test_one", "zq_test_two", nullptr};
    void* table[2] = {};
    void* lib = zq_hDynLoad(ZQ_TESTLIB, both, table);
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(reinterpret_cast<int (*)()>(table[1])(), 2);
    const char* more[] = {"zq_test_one", "zq_missing"};
    void* extra[2] = {};
    EXPECT_EQ(zq_hDynLoadAlso(lib, more, extra, 2), -1);
    EXPECT_NE(extra[0], nullptr);  // entries before the failure stay filled
    EXPECT_EQ(zq_hDynLoadAlso(lib, more, extra, 1), 0);
    zq_hDynUnload(&lib);
    EXPECT_EQ(lib, nullptr);
    zq_hDynUnload(&lib);  // already unloaded: nothing happens
    EXPECT_FALSE(sys_lib_is_loaded(ZQ_TESTLIB));

    const char* second_missing[] = {"zq_test_one", "zq_missing", nullptr};
    void* filled[2] = {};
    EXPECT_EQ(zq_hDynLoad(ZQ_TESTLIB, second_missing, filled), nullptr);
    EXPECT_NE(filled[0], nullptr);
    EXPECT_FALSE(sys_lib_is_loaded(ZQ_TESTLIB));

    EXPECT_EQ(zq_hDynLoad("zq-no-such-library-anywhere", both, table), nullptr);
    EXPECT_EQ(zq_hDynLoad(nullptr, both, table), nullptr);
}

TEST(Strings, CompareReleasesTemporaries) {
    const int32_t live = __zq_ctx.temp_strings;
    EXPECT_EQ(zq_StrCompare(zq_StrAllocTemp(0), -1, "", 0), 0);
    EXPECT_NE(zq_StrCompare(zq_CHR(2, 0xFF, 0x48), -1, "", 0), 0);
    EXPECT_LT(zq_StrCompare(zq_CHR(1, 'a'), -1, zq_CHR(1, 'b'), -1), 0);
    EXPECT_GT(zq_StrCompare("ab", 2, "a", 1), 0);
    EXPECT_EQ(zq_StrCompare("abc", 2, "ab", 2), 0);
    EXPECT_EQ(zq_StrCompare(nullptr, -1, "", 0), 0);
    EXPECT_EQ(__zq_ctx.temp_strings, live);
    EXPECT_EQ(zq_StrAllocTemp(-1), nullptr);
}
