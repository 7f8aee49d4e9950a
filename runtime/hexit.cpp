#include "runtime/zq_rt.h"

bool zq_hRtDecrement();

__attribute__((destructor)) void zq_hDoExit() {
    zq_hRtExit();
}

void zq_hRtExit() {
    if (!zq_hRtDecrement()) return;
    zq_FileReset();
    zq_hEnd();
}

void zq_hEnd() {}
