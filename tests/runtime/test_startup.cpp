// Start-up and shutdown order: the counter, the one-time context reset and the
// floating-point settings.
#include <gtest/gtest.h>

#include "runtime/sys.h"
#include "runtime/zq_rt.h"

TEST(StartUp, ConstructorsBroughtTheRuntimeUp) {
    // The start-up constructor ran before main.
    EXPECT_GE(zq_hRtInitCount(), 1);
    // Precision control 64-bit significand (bits 8-9 = 11), round to nearest (bits 10-11 = 00).
    EXPECT_EQ(sys_fpu_control_word() & 0x0F00, 0x0300);
}

TEST(StartUp, LaterInitOnlyCountsAndLastExitClosesFiles) {
    const int32_t before = zq_hRtInitCount();
    zq_Init(3, nullptr, 7);
    __zq_ctx.files[2].opened = 1;
    __zq_ctx.file_opened = 1;

    zq_hRtInit();  // not the first: must not clear the context
    EXPECT_EQ(zq_hRtInitCount(), before + 1);
    EXPECT_EQ(__zq_ctx.argc, 3);
    EXPECT_EQ(__zq_ctx.lang, 7);

    zq_hRtExit();  // back to the constructor's count: files stay open
    EXPECT_EQ(zq_hRtInitCount(), before);
    EXPECT_EQ(__zq_ctx.files[2].opened, 1);

    // Unwind to zero: the last exit closes the files; then restore the count.
    for (int32_t i = 0; i < before; ++i) zq_hRtExit();
    EXPECT_EQ(zq_hRtInitCount(), 0);
    EXPECT_EQ(__zq_ctx.files[2].opened, 0);
    EXPECT_EQ(__zq_ctx.file_opened, 0);
    zq_hRtExit();  // an unmatched exit must not go negative
    EXPECT_EQ(zq_hRtInitCount(), 0);

    zq_TlsFreeCtxTb();  // the reset below would drop the slots' blocks
    zq_hRtInit();       // first again: clears the context
    EXPECT_EQ(__zq_ctx.argc, 0);
    EXPECT_EQ(__zq_ctx.lang, 0);
    for (int32_t i = 1; i < before; ++i) zq_hRtInit();
    EXPECT_EQ(zq_hRtInitCount(), before);
}

TEST(StartUp, InitRestoresExtendedPrecisionAndNearest) {
    uint16_t cw = sys_fpu_control_word();
    uint16_t single_toward_zero = static_cast<uint16_t>((cw & ~0x0F00u) | 0x0C00u);
    __asm__ __volatile__("fldcw %0" : : "m"(single_toward_zero));
    zq_hInit();
    EXPECT_EQ(sys_fpu_control_word() & 0x0F00, 0x0300);
    // 1 + 2^-63 survives only with a 64-bit significand.
    volatile long double one = 1.0L;
    volatile long double tiny = 0x1p-63L;
    EXPECT_NE(one + tiny, one);
}
