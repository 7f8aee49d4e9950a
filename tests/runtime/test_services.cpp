// Start-up and shutdown counting, error record, context slots, mutexes, timer,
// executable name, run-time loading, temporary strings, random generators.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <limits>
#include <thread>
#include <tuple>
#include <vector>

#include "runtime/rt_internal.h"
#include "runtime/sys.h"
#include "runtime/zq_rt.h"

TEST(StartUp, LaterInitOnlyCountsLastExitClosesFilesFpuRestored) {
    const int32_t before = zq_hRtInitCount();
    zq_Init(3, nullptr, 7);
    __zq_ctx.files[2].opened = __zq_ctx.file_opened = 1;
    zq_hRtInit();  // not the first: must not clear the context
    EXPECT_EQ(std::tuple(zq_hRtInitCount(), __zq_ctx.argc, __zq_ctx.lang),
              std::tuple(before + 1, 3, 7));
    zq_hRtExit();  // back to the constructor's count: files stay open
    EXPECT_EQ(std::pair(zq_hRtInitCount(), __zq_ctx.files[2].opened), std::pair(before, 1));
    // Down to zero (the last exit closes the files), and one more must not go negative.
    for (int32_t i = 0; i <= before; ++i) zq_hRtExit();
    EXPECT_EQ(std::tuple(zq_hRtInitCount(), __zq_ctx.files[2].opened, __zq_ctx.file_opened),
              std::tuple(0, 0, 0));
    zq_TlsFreeCtxTb();  // the reset below would drop the slots' blocks
    zq_hRtInit();       // first again: clears the context
    EXPECT_EQ(std::pair(__zq_ctx.argc, __zq_ctx.lang), std::pair(0, 0));
    for (int32_t i = 1; i < before; ++i) zq_hRtInit();
    // Start-up restores extended precision and rounding to nearest.
    const uint16_t cw = sys_fpu_control_word();
    const uint16_t single_toward_zero = static_cast<uint16_t>((cw & ~0x0F00u) | 0x0C00u);
    __asm__ __volatile__("fldcw %0" : : "m"(single_toward_zero));
    zq_hInit();
    EXPECT_EQ(sys_fpu_control_word() & 0x0F00, 0x0300);
    volatile long double one = 1.0L, tiny = 0x1p-63L;
    EXPECT_NE(one + tiny, one);  // only with a 64-bit significand
}

TEST(ErrorAndSlots, ErrorInSlotZeroAndSlotsAllocatedOnce) {
    EXPECT_EQ(zq_ErrorSetNum(3), 3);
    EXPECT_STREQ(zq_ErrorSetModName(zq_ErrorSetModName("mod")), "mod");
    EXPECT_EQ(static_cast<ErrorContext*>(zq_TlsGetCtx(0, sizeof(ErrorContext)))->err_num, 3);
    zq_ErrorSetNum(0);
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
    int counter = 0;  // plain int: only the mutex keeps this exact
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) zq_MutexLock(m), ++counter, zq_MutexUnlock(m);
    };
    std::thread t1(work), t2(work);
    t1.join(), t2.join();
    EXPECT_EQ(counter, 40000);
    // Locked here, released by another thread: the waiter then gets through.
    zq_MutexLock(m);
    std::atomic<bool> got{false};
    std::thread waiter([&] { zq_MutexLock(m), got = true; });
    std::thread([&] { zq_MutexUnlock(m); }).join();
    waiter.join();
    EXPECT_TRUE(got);
    zq_MutexDestroy(m);
    zq_MutexDestroy(nullptr);
}

TEST(TimerAndName, CounterOrTicksAndANameCutShortStillTerminated) {
    zq_hTimerReset(nullptr);
    const double a = zq_Timer();
    EXPECT_EQ(zq_hTimerMode(), 2);
    EXPECT_GE(zq_Timer(), a);
    zq_hTimerReset([]() -> int64_t { return 0; });  // no performance counter
    EXPECT_NEAR(zq_Timer(), sys_tick_count() * 0.001, 1.0);
    EXPECT_EQ(zq_hTimerMode(), 1);
    zq_hTimerReset(nullptr);
    char tiny[4];  // the name itself is the default window title, checked end to end
    char* cut = zq_hGetExeName(tiny, sizeof tiny);
    EXPECT_LT(std::strlen(tiny), sizeof tiny);
    EXPECT_TRUE(cut >= tiny && cut <= tiny + 3);
}

TEST(DynLoad, ResolvesNamesAndUnloadsOnAMissingOne) {
    const char* both[] = {"zq_test_one", "zq_test_two", nullptr};
    void* table[2] = {};
    void* lib = zq_hDynLoad(ZQ_TESTLIB, both, table);
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(reinterpret_cast<int (*)()>(table[1])(), 2);
    const char* more[] = {"zq_test_one", "zq_missing", nullptr};
    void* extra[2] = {};
    EXPECT_EQ(zq_hDynLoadAlso(lib, more, extra, 2), -1);
    EXPECT_NE(extra[0], nullptr);  // entries before the failure stay filled
    EXPECT_EQ(zq_hDynLoadAlso(lib, more, extra, 1), 0);
    zq_hDynUnload(&lib);
    EXPECT_EQ(lib, nullptr);
    zq_hDynUnload(&lib);  // already unloaded: nothing happens
    EXPECT_FALSE(sys_lib_is_loaded(ZQ_TESTLIB));
    std::memset(extra, 0, sizeof extra);
    EXPECT_EQ(zq_hDynLoad(ZQ_TESTLIB, more, extra), nullptr);
    EXPECT_NE(extra[0], nullptr);
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

namespace {
class Rnd : public testing::Test {
   protected:
    void SetUp() override { zq_hRndReset(), lang_ = __zq_ctx.lang, __zq_ctx.lang = 0; }
    void TearDown() override { __zq_ctx.lang = lang_, zq_hRndReset(); }
    int32_t lang_;
};

constexpr double k2_32 = 4294967296.0, k2_24 = 16777216.0;
}  // namespace

// Unseeded, the twister seeded with zero. Braced lists run their calls in
// order. The argument's value does not matter; reseeding keeps the last number.
TEST_F(Rnd, UnseededTwisterFastAndLcg24Sequences) {
    const double a = 0x5481674D / k2_32, b = 0x543BDDA3 / k2_32, c = 0x8850CA87 / k2_32;
    EXPECT_EQ((std::vector{zq_Rnd(0), zq_Rnd(1), zq_Rnd(5), zq_Rnd(-1), zq_Rnd(0)}),
              (std::vector{0.01953125, a, b, c, c}));
    zq_Randomize(0.0, 3);
    EXPECT_EQ((std::vector{zq_Rnd(0), zq_Rnd(1)}), (std::vector{c, a}));
    const struct {
        double seed;
        int32_t algorithm, lang, arg;
        double first, next;  // the next with argument 1
    } cases[] = {
        // Seeded with the truncated integer's low 32 bits.
        {-1.5, 2, 0, 1, 0x3C558D52 / k2_32, 0x3017CC89 / k2_32},
        {k2_32 + 5.0, 2, 0, 1, 0x3CEDF1A0 / k2_32, 0xBB69F87F / k2_32},
        // Seeded from the double's upper word; the dialect picks LCG24 by default.
        {1.0, 0, 2, 7, 0x338BF3 / k2_24, 0x7C86EA / k2_24},
        {1.0, 4, 0, -123456789, 0xF64F1A / k2_24, 0x959975 / k2_24},  // negative: reseeds
    };
    for (const auto& c : cases) {
        __zq_ctx.lang = c.lang;
        zq_Randomize(c.seed, c.algorithm);
        const double first = zq_Rnd(c.arg);
        EXPECT_EQ(std::pair(first, zq_Rnd(1)), std::pair(c.first, c.next))
            << c.seed << " " << c.algorithm;
    }
    EXPECT_EQ(zq_Rnd(-123456789), 0xF64F1A / k2_24);  // same negative argument, same number
}

TEST_F(Rnd, CLibraryAndNonFiniteOrHugeSeedsStayInRange) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    for (int algorithm = 1; algorithm <= 4; ++algorithm) {
        for (double seed : {3.0, std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e300}) {
            zq_Randomize(seed, algorithm);
            const double v = zq_Rnd(1);
            EXPECT_TRUE(v >= 0.0 && v < 1.0) << seed << " " << algorithm;
        }
    }
    // Out of range seeds give the integer-indefinite value: low 32 bits 0.
    zq_Randomize(1e300, 3);
    const double huge = zq_Rnd(1);
    zq_Randomize(0.0, 3);
    EXPECT_EQ(huge, zq_Rnd(1));
}
