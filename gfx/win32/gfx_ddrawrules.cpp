#include "gfx/win32/gfx_ddrawrules.h"

int32_t zq_hDdrawTwinDepth(int32_t bits) {
    switch (bits) {
        case 15:
            return 16;
        case 16:
            return 15;
        case 24:
            return 32;
        case 32:
            return 24;
        default:
            return 0;
    }
}

int32_t zq_hDdrawNextHeight(int32_t h) {
    constexpr int32_t kHeights[] = {240, 480, 600, 768, 1024};
    for (int32_t next : kHeights) {
        if (h < next) return next;
    }
    return -1;
}

int32_t zq_hDdrawFindMode(int32_t w, int32_t h, int32_t bits, int32_t refresh, DdrawSetModeFn set,
                          void* context) {
    int32_t twin = zq_hDdrawTwinDepth(bits);
    for (; h > 0; h = zq_hDdrawNextHeight(h)) {
        uint32_t flags = (w == 320 && h == 200 && bits == 8) ? 1u : 0u;
        if (set(context, w, h, bits, refresh, flags)) return h;
        if (twin && set(context, w, h, twin, refresh, flags)) return h;
    }
    return -1;
}

int32_t zq_hDdrawFormatDepth(int32_t bits, uint32_t green_mask) {
    return (bits == 16 && green_mask == 0x03E0) ? 15 : bits;
}

DdrawBlitFormat zq_hDdrawBlitFormat(int32_t bits, uint32_t red_mask, uint32_t green_mask) {
    bool rgb = (bits >= 24 && red_mask == 0xFF) || (bits >= 16 && red_mask == 0x1F);
    return {zq_hDdrawFormatDepth(bits, green_mask), rgb ? 1 : 0};
}

void zq_hDdrawKeyState(const uint8_t* device_state, uint8_t* key_state) {
    for (int32_t i = 0; i < 128; ++i) {
        key_state[i] = ((device_state[i] | device_state[i + 128]) & 0x80) ? 1 : 0;
    }
}

int64_t zq_hRefreshPeriodUs(int32_t hz) {
    return hz > 1 ? 1000000 / hz : 16000;
}

int64_t zq_hVsyncPaceUs(VsyncPacer* pacer, int64_t wait_start_us, int64_t now_us, int64_t period_us,
                        bool wait_ok) {
    bool real_blank = wait_ok && now_us - wait_start_us >= kVsyncInstantUs;
    int64_t due = pacer->last_us + period_us;
    // A real blank, or a frame that is late already, goes at once and sets
    // the beat for the frames after it.
    if (real_blank || !pacer->started || due <= now_us) {
        pacer->started = true;
        pacer->last_us = now_us;
        return 0;
    }
    pacer->last_us = due;
    return due - now_us;
}
