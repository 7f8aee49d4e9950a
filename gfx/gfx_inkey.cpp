// The key buffer, the event ring's writer and the key reads of the graphics
// screen. The window procedure posts; the program's thread reads through the
// screen-lock idiom, so the display lock guards the key buffer.
#include "console/con_in.h"
#include "gfx/gfx_internal.h"

namespace {
// Program-wide, not part of the screen: keys typed before a screen change can
// still be read after it. Guarded by the display lock.
int32_t key_buffer[ZQ_KEY_SLOTS];
int32_t key_head;  // oldest key
int32_t key_tail;  // next free slot; equal to key_head when empty
int32_t key_buffer_changed;

constexpr int32_t kKeyMask = ZQ_KEY_SLOTS - 1;
constexpr int32_t kEventMask = ZQ_EVENT_SLOTS - 1;

bool key_buffer_full() {
    return ((key_tail + 1) & kKeyMask) == key_head;
}

// The Null driver has no window to type into: the keys typed at the console
// stand in, so that a program without a display can still be ended by a key.
// The console's ring is far larger than this buffer: the rest of a burst waits
// there rather than pushing older keys out of here.
void take_console_keys() {
    GfxState* s = __zq_gfx;
    if (!s || s->driver != &__zq_gfxDriverNull) return;
    while (!key_buffer_full() && zq_hConsolePeekKey(1) != -1) zq_hPostKey(zq_hConsoleGetKey(1));
}

// The oldest key code, removed; 0 when none is waiting.
int32_t get_key() {
    take_console_keys();
    zq_hGfxLock();
    int32_t key = 0;
    if (key_head != key_tail) {
        key = key_buffer[key_head];
        key_head = (key_head + 1) & kKeyMask;
    }
    // Finds the lock taken above and releases it; the unlock below then has
    // nothing left to do.
    zq_hGfxInputBufferChanged();
    zq_hGfxUnlock();
    return key;
}
}  // namespace

void zq_hPostEvent(const GfxEvent* event) {
    GfxState* s = __zq_gfx;
    if (!s || !s->event_queue || !event) return;
    zq_MutexLock(s->event_mutex);
    s->event_queue[s->event_tail] = *event;
    int32_t next = (s->event_tail + 1) & kEventMask;
    if (next == s->event_head) s->event_head = (next + 1) & kEventMask;
    s->event_tail = next;
    zq_MutexUnlock(s->event_mutex);
}

int32_t zq_hPostKey(int32_t key) {
    key_buffer[key_tail] = key;
    int32_t next = (key_tail + 1) & kKeyMask;
    if (next == key_head) key_head = (next + 1) & kKeyMask;
    key_tail = next;
    key_buffer_changed = 1;
    return 1;
}

int32_t zq_hGfxInputBufferChanged() {
    // Without a screen no thread posts, so there is nothing to lock against.
    bool screen = __zq_gfx != nullptr;
    take_console_keys();
    if (screen) zq_hGfxLock();
    int32_t changed = key_buffer_changed;
    key_buffer_changed = 0;
    if (screen) zq_hGfxUnlock();
    return changed;
}

int32_t zq_GfxGetkey() {
    if (!__zq_gfx) return 0;
    int32_t key;
    do {
        key = get_key();
        zq_Sleep(20);
    } while (key == 0);
    return key;
}

int32_t zq_GfxKeyHit() {
    if (!__zq_gfx) return 0;
    take_console_keys();
    zq_hGfxLock();
    int32_t hit = key_head != key_tail ? 1 : 0;
    zq_hGfxUnlock();
    return hit;
}

// One character for a character code; 0xFF and the scan code for an extended
// key code.
ZqString* zq_GfxInkey() {
    if (!__zq_gfx) return zq_StrAllocTemp(0);
    int32_t key = get_key();
    if (key == 0) return zq_StrAllocTemp(0);
    if (key <= 255) return zq_CHR(1, key);
    return zq_CHR(2, 0xFF, (key >> 8) & 0xFF);
}

// Keyboard input is never redirected while a graphics screen is open.
int32_t zq_GfxIsRedir(int32_t) {
    return 0;
}
