#include <cmath>
#include <cstdlib>
#include <cstring>

#include "runtime/rt_internal.h"
#include "runtime/zq_rt.h"

namespace {
constexpr int kMtWords = 624;
constexpr int kMtMiddle = 397;

double hRnd_Startup(int32_t n);

double (*rnd_func)(int32_t) = hRnd_Startup;
double last_num = 0.01953125;
uint32_t iseed = 0x50000;
uint32_t state[kMtWords];
uint32_t* p = nullptr;

// Seed conversions truncate toward zero. A NaN or a value outside the target
// range gives the x87 "integer indefinite" (the most negative value), which is
// what the processor's own conversion stores, instead of undefined behaviour.
int32_t seed_to_int32(double seed) {
    double t = std::trunc(seed);
    if (!(t >= -2147483648.0 && t < 2147483648.0)) return INT32_MIN;
    return static_cast<int32_t>(t);
}

uint32_t seed_low32(double seed) {
    double t = std::trunc(seed);
    if (!(t >= -9223372036854775808.0 && t < 9223372036854775808.0))
        return 0;  // low half of INT64_MIN
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(t)));
}

uint32_t lcg24_seed(double seed) {
    uint64_t bits;
    std::memcpy(&bits, &seed, sizeof bits);
    uint32_t h = static_cast<uint32_t>(bits >> 32);
    uint32_t x = h ^ (h >> 16);
    return ((x & 0xFFFF) << 8) | (x & 0xFF);
}

double hRnd_CRT(int32_t) {
    // RAND_MAX is 32767 on Windows (2^-15 steps); other C libraries give more bits.
    return std::rand() * (1.0 / (static_cast<double>(RAND_MAX) + 1.0));
}

double hRnd_FAST(int32_t) {
    iseed = iseed * 1664525u + 1013904223u;
    return iseed * (1.0 / 4294967296.0);
}

double hRnd_LCG24(int32_t n) {
    if (n < 0) {
        uint32_t u = static_cast<uint32_t>(n);
        iseed = (u & 0xFFFFFF) + (u >> 24);
    }
    iseed = (iseed * 16598013u + 12820163u) & 0xFFFFFF;
    return iseed * (1.0 / 16777216.0);
}

void mt_regenerate() {
    for (int i = 0; i < kMtWords; ++i) {
        uint32_t y = (state[i] & 0x80000000u) | (state[(i + 1) % kMtWords] & 0x7FFFFFFFu);
        uint32_t v = state[(i + kMtMiddle) % kMtWords] ^ (y >> 1);
        state[i] = (y & 1) ? v ^ 0x9908B0DFu : v;
    }
    p = state;
}

double hRnd_MTWIST(int32_t) {
    if (!p) zq_Randomize(327680.0, 3);
    if (p == state + kMtWords) mt_regenerate();
    uint32_t y = *p++;
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y * (1.0 / 4294967296.0);
}

double hRnd_Startup(int32_t n) {
    zq_Randomize(0.0, 0);
    return zq_Rnd(n);
}

int32_t dialect_default() {
    switch (__zq_ctx.lang) {
        case 1:
            return 1;
        case 2:
            return 4;
        default:
            return 3;
    }
}
}  // namespace

double zq_Rnd(int32_t n) {
    if (n == 0) return last_num;
    last_num = rnd_func(n);
    return last_num;
}

void zq_Randomize(double seed, int32_t algorithm) {
    if (algorithm == 0) algorithm = dialect_default();
    if (seed == -1.0) seed = zq_Timer();
    switch (algorithm) {
        case 1:
            rnd_func = hRnd_CRT;
            std::srand(static_cast<unsigned>(seed_to_int32(seed)));
            break;
        case 2:
            rnd_func = hRnd_FAST;
            iseed = seed_low32(seed);
            break;
        case 4:
            rnd_func = hRnd_LCG24;
            iseed = lcg24_seed(seed);
            break;
        default:
            rnd_func = hRnd_MTWIST;
            state[0] = seed_low32(seed);
            for (int i = 1; i < kMtWords; ++i) state[i] = state[i - 1] * 1664525u + 1013904223u;
            p = state + kMtWords;
            break;
    }
}

// Puts the generators back to their start-up state (for tests).
void zq_hRndReset() {
    rnd_func = hRnd_Startup;
    last_num = 0.01953125;
    iseed = 0x50000;
    p = nullptr;
}

// The current LCG state (for tests).
uint32_t zq_hRndSeedState() {
    return iseed;
}
