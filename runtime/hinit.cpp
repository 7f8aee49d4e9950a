#include <cstring>

#include "runtime/rt_internal.h"
#include "runtime/sys.h"
#include "runtime/zq_rt.h"

RtContext __zq_ctx;

namespace {
int32_t start_count = 0;
}

void zq_hInit() {
    sys_fpu_init();
}

void zq_hRtInit() {
    if (start_count++ != 0) return;
    std::memset(&__zq_ctx, 0, sizeof(__zq_ctx));
    zq_hInit();
}

int32_t zq_hRtInitCount() {
    return start_count;
}

bool zq_hRtDecrement() {
    if (start_count <= 0) return false;
    return --start_count == 0;
}
