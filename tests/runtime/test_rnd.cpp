// The four generators and the start-up seeding.
#include <gtest/gtest.h>

#include <limits>

#include "runtime/rt_internal.h"
#include "runtime/zq_rt.h"

namespace {
class Rnd : public testing::Test {
   protected:
    void SetUp() override {
        zq_hRndReset();
        lang_ = __zq_ctx.lang;
        __zq_ctx.lang = 0;
    }
    void TearDown() override {
        __zq_ctx.lang = lang_;
        zq_hRndReset();
    }
    int32_t lang_;
};

constexpr double k2_32 = 4294967296.0, k2_24 = 16777216.0;
}  // namespace

TEST_F(Rnd, UnseededStartIsTheTwisterSeededWithZero) {
    EXPECT_EQ(zq_Rnd(0), 0.01953125);
    EXPECT_EQ(zq_Rnd(1), 0x5481674D / k2_32);
    EXPECT_EQ(zq_Rnd(1), 0x543BDDA3 / k2_32);
    EXPECT_EQ(zq_Rnd(5), 0x8850CA87 / k2_32);  // the argument's value does not matter
    EXPECT_EQ(zq_Rnd(-1), 0xC28BC0BC / k2_32);
    EXPECT_EQ(zq_Rnd(0), 0xC28BC0BC / k2_32);
    zq_Randomize(0.0, 3);
    EXPECT_EQ(zq_Rnd(0), 0xC28BC0BC / k2_32);  // reseeding keeps the last number
    EXPECT_EQ(zq_Rnd(1), 0x5481674D / k2_32);
}

TEST_F(Rnd, FastAndLcg24Sequences) {
    struct Case {
        double seed;
        int32_t algorithm, lang, arg;
        double first, next;  // the next with argument 1
    };
    const Case cases[] = {
        // Seeded with the truncated integer's low 32 bits.
        {-1.5, 2, 0, 1, 0x3C558D52 / k2_32, 0x3017CC89 / k2_32},
        {k2_32 + 5.0, 2, 0, 1, 0x3CEDF1A0 / k2_32, 0xBB69F87F / k2_32},
        // Seeded from the double's upper word; the dialect picks LCG24 by default.
        {1.0, 4, 0, 1, 0x338BF3 / k2_24, 0x7C86EA / k2_24},
        {1.0, 0, 2, 7, 0x338BF3 / k2_24, 0x7C86EA / k2_24},
        {1.0, 4, 0, -123456789, 0xF64F1A / k2_24, 0x959975 / k2_24},  // negative: reseeds
    };
    for (const Case& c : cases) {
        __zq_ctx.lang = c.lang;
        zq_Randomize(c.seed, c.algorithm);
        EXPECT_EQ(zq_Rnd(c.arg), c.first) << c.seed << " " << c.algorithm;
        EXPECT_EQ(zq_Rnd(1), c.next) << c.seed << " " << c.algorithm;
    }
    EXPECT_EQ(zq_Rnd(-123456789), 0xF64F1A / k2_24);  // same negative argument, same number
}

TEST_F(Rnd, CLibraryAndNonFiniteOrHugeSeedsStayInRange) {
    const double bad[] = {3.0,
                          std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          1e300,
                          -1e300};
    for (int algorithm = 1; algorithm <= 4; ++algorithm) {
        for (double seed : bad) {
            zq_Randomize(seed, algorithm);
            double v = zq_Rnd(1);
            EXPECT_TRUE(v >= 0.0 && v < 1.0) << seed << " " << algorithm;
        }
    }
    // Out of range seeds give the integer-indefinite value: low 32 bits 0.
    zq_Randomize(1e300, 3);
    double huge = zq_Rnd(1);
    zq_Randomize(0.0, 3);
    EXPECT_EQ(huge, zq_Rnd(1));
}
