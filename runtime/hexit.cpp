#include "runtime/zq_rt.h"

#include "runtime/rt_internal.h"

extern "C" __attribute__((destructor)) void zq_hDoExit() {
    zq_hRtExit();
}

void zq_hRtExit() {
    if (!zq_hRtDecrement()) return;
    zq_FileReset();
    zq_hEnd();
}

void zq_hEnd() {}
