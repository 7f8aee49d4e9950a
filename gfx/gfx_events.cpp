// The window's events and position for programs.
#include "gfx/gfx_internal.h"

int32_t zq_GfxGetEvent(GfxEvent* event) {
    GfxState* s = __zq_gfx;
    if (event) event->type = GfxEventType::None;
    if (!s || !event || !s->event_queue) return 0;
    // The window procedure posts under the display lock, then event_mutex.
    zq_hGfxLock();
    zq_MutexLock(s->event_mutex);
    const bool any = s->event_head != s->event_tail;
    if (any) {
        *event = s->event_queue[s->event_head];
        s->event_head = (s->event_head + 1) & (ZQ_EVENT_SLOTS - 1);
    }
    zq_MutexUnlock(s->event_mutex);
    zq_hGfxUnlock();
    return any ? 1 : 0;
}

int32_t zq_GfxSetWindowPos(int32_t x, int32_t y) {
    const GfxState* s = __zq_gfx;
    if (!s || !s->driver->set_window_pos) return zq_ErrorSetNum(1);
    s->driver->set_window_pos(x, y);
    return 0;
}
