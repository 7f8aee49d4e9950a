// Cosine and sine on the x87 unit in extended precision. The processor's own
// instructions give the same bits on the 32-bit Windows and the x86-64 builds,
// which library implementations of cosl/sinl do not promise.
#pragma once

inline long double x87_cos(long double x) {
    long double r;
    __asm__("fcos" : "=t"(r) : "0"(x));
    return r;
}

inline long double x87_sin(long double x) {
    long double r;
    __asm__("fsin" : "=t"(r) : "0"(x));
    return r;
}
