// The four generators and the start-up seeding.
#include <gtest/gtest.h>

#include <cmath>
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

constexpr double k2_32 = 4294967296.0;
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

TEST_F(Rnd, TwisterSeedFillsAndRegeneratesEvery624Words) {
    zq_Randomize(12345.0, 3);
    double first[700];
    for (double& v : first) v = zq_Rnd(1);
    zq_Randomize(12345.0, 99);  // unknown numbers select the twister too
    for (double v : first) ASSERT_EQ(zq_Rnd(1), v);
    for (double v : first) {
        EXPECT_GE(v, 0.0);
        EXPECT_LT(v, 1.0);
    }
}

TEST_F(Rnd, FastGenerator) {
    zq_Randomize(-1.5, 2);  // truncates to -1, low 32 bits 0xFFFFFFFF
    uint32_t s = 0xFFFFFFFFu * 1664525u + 1013904223u;
    EXPECT_EQ(zq_Rnd(1), s / k2_32);
    zq_Randomize(4294967296.0 + 5.0, 2);  // low 32 bits of the 64-bit value
    EXPECT_EQ(zq_Rnd(1), (5u * 1664525u + 1013904223u) / k2_32);
}

TEST_F(Rnd, Lcg24SeedsFromTheDoubleBitsAndReseedsOnNegative) {
    zq_Randomize(1.0, 4);  // upper word 0x3FF00000: x = 0x3FF03FF0
    EXPECT_EQ(zq_hRndSeedState(), ((0x3FF0u << 8) | 0xF0u));
    uint32_t s = zq_hRndSeedState();
    s = (s * 16598013u + 12820163u) & 0xFFFFFF;
    EXPECT_EQ(zq_Rnd(1), s / 16777216.0);
    s = (s * 16598013u + 12820163u) & 0xFFFFFF;
    EXPECT_EQ(zq_Rnd(7), s / 16777216.0);  // positive: steps only

    const int32_t n = -123456789;
    uint32_t u = static_cast<uint32_t>(n);
    uint32_t reseeded = (u & 0xFFFFFF) + (u >> 24);
    reseeded = (reseeded * 16598013u + 12820163u) & 0xFFFFFF;
    EXPECT_EQ(zq_Rnd(n), reseeded / 16777216.0);
    EXPECT_EQ(zq_Rnd(n), reseeded / 16777216.0);  // same negative argument, same number
}

TEST_F(Rnd, DialectChoosesTheDefaultAlgorithm) {
    __zq_ctx.lang = 2;
    zq_Randomize(1.0, 0);
    EXPECT_EQ(zq_hRndSeedState(), ((0x3FF0u << 8) | 0xF0u));  // LCG24's seeding
    __zq_ctx.lang = 1;
    zq_Randomize(3.0, 0);  // the C library's generator
    double v = zq_Rnd(1);
    EXPECT_GE(v, 0.0);
    EXPECT_LT(v, 1.0);
}

TEST_F(Rnd, NonFiniteAndHugeSeedsAreDefined) {
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(), 1e300, -1e300};
    for (int algorithm = 1; algorithm <= 4; ++algorithm) {
        for (double seed : bad) {
            zq_Randomize(seed, algorithm);
            double v = zq_Rnd(1);
            EXPECT_GE(v, 0.0);
            EXPECT_LT(v, 1.0);
        }
    }
    // Out of range seeds give the integer-indefinite value: low 32 bits 0.
    zq_Randomize(1e300, 3);
    double huge = zq_Rnd(1);
    zq_Randomize(0.0, 3);
    EXPECT_EQ(huge, zq_Rnd(1));
}
