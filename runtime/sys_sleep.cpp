#include "runtime/sys.h"
#include "runtime/zq_rt.h"

void zq_Delay(int32_t ms) {
    sys_sleep_ms(ms);
}
