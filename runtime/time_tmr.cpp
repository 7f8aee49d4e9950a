#include "runtime/rt_internal.h"
#include "runtime/sys.h"
#include "runtime/zq_rt.h"

namespace {
enum TimerMode { kUnchosen = 0, kTickCount = 1, kPerfCounter = 2 };
int timer_mode = kUnchosen;
double timer_scale = 0.0;
int64_t (*frequency_source)() = sys_perf_frequency;
}  // namespace

double zq_Timer() {
    if (timer_mode == kUnchosen) {
        int64_t freq = frequency_source();
        if (freq <= 0) {
            timer_mode = kTickCount;
        } else {
            timer_scale = 1.0 / static_cast<double>(freq);
            timer_mode = kPerfCounter;
        }
    }
    if (timer_mode == kPerfCounter) return static_cast<double>(sys_perf_counter()) * timer_scale;
    return static_cast<double>(sys_tick_count()) * 0.001;
}

void zq_hTimerReset(int64_t (*frequency)()) {
    frequency_source = frequency ? frequency : sys_perf_frequency;
    timer_mode = kUnchosen;
}

int zq_hTimerMode() {
    return timer_mode;
}
