// The console key ring: keys decoded from the console's input events wait here
// for the console key reads, each with the event it came from so that the
// events can be written back. Only the program's thread touches the ring; the
// platform's close notifications reach it through the source's take_close.
#include <algorithm>
#include <cstdlib>

#include "console/con_in.h"
#include "console/io_input.h"
#include "console/kbd_sys.h"
#include "console/zq_console.h"

const ConInputSource* __zq_con_input = &__zq_con_platform_input;
void (*__zq_MouseEventHook)(const void* mouse_record) = nullptr;

namespace {
constexpr int32_t kKeyMask = ZQ_CON_KEY_SLOTS - 1;
static_assert((ZQ_CON_KEY_SLOTS & kKeyMask) == 0, "the ring size is a power of two");

int32_t key_buffer[ZQ_CON_KEY_SLOTS];
ConKeyRecord input_events[ZQ_CON_KEY_SLOTS];
int32_t key_head;  // oldest key
int32_t key_tail;  // next free slot; equal to key_head when empty
int32_t key_buffer_changed;
// Unsigned: a long run of digits wraps instead of overflowing, and the
// character taken from it (the low byte) stays the same.
uint32_t key_scratch_pad;
int32_t control_handler_inited;

bool is_keypad_digit(uint16_t vk) {
    return vk >= Vk::Numpad0 && vk <= Vk::Numpad0 + 9;
}

// Alt held without Ctrl or Shift: the state in which keypad digits build a number.
bool is_alt_only(uint32_t state) {
    constexpr uint32_t others = KeyState::AnyCtrl | KeyState::Shift;
    return (state & KeyState::AnyAlt) && !(state & others);
}

// Posts the character typed as a number with Alt and the keypad.
void post_pending_character() {
    const uint8_t c = key_scratch_pad & 0xFF;
    const int32_t key = kbd_sys_char_key(c);
    ConKeyRecord record{};
    record.ch = c;
    if (key != -1) {
        record.vk = static_cast<uint16_t>(key & 0xFF);
        if (key & 0x100) record.state |= KeyState::Shift;
        if (key & 0x200) record.state |= KeyState::LeftCtrl;
        if (key & 0x400) record.state |= KeyState::LeftAlt;
        record.scan = static_cast<uint16_t>(kbd_sys_vk_scan(key & 0xFF));
    }
    zq_hConsolePostKey(c, &record);
    key_scratch_pad = 0;
}

void handle_key_down(const ConKeyRecord* r, bool alt_only) {
    if (r->repeat == 0) return;
    const int32_t key =
        zq_hConsoleTranslateKey(static_cast<int8_t>(r->ch), r->scan, r->vk, r->state, 0);
    if (is_keypad_digit(r->vk) && alt_only) {
        key_scratch_pad = key_scratch_pad * 10 + (r->vk - Vk::Numpad0);
    } else if (key != -1) {
        key_scratch_pad = 0;
    } else if (!alt_only && key_scratch_pad != 0) {
        post_pending_character();
    }
    if (key != -1) zq_hConsolePostKey(key, r);
}

void handle_key_up(const ConKeyRecord* r, bool alt_only) {
    if (is_keypad_digit(r->vk) && alt_only) return;
    // Releasing Alt after the digits delivers the character.
    if (!alt_only && key_scratch_pad != 0) post_pending_character();
}

void start_once() {
    if (control_handler_inited) return;
    control_handler_inited = 1;
    std::atexit(zq_hExitControlHandler);
    __zq_con_input->start();
}
}  // namespace

ConKeyRecord zq_hConsoleCloseRecord() {
    constexpr int32_t vk_f4 = Vk::F1 + 3;
    ConKeyRecord record{};
    record.vk = vk_f4;
    record.scan = static_cast<uint16_t>(kbd_sys_vk_scan(vk_f4));
    record.state = KeyState::LeftAlt;
    return record;
}

void zq_hConsolePostKey(int32_t key, const ConKeyRecord* record) {
    const int32_t tail = key_tail;
    key_buffer[tail] = key;
    input_events[tail] = *record;
    const int32_t next = (tail + 1) & kKeyMask;
    if (next == key_head) key_head = (tail + 2) & kKeyMask;
    key_tail = next;
    key_buffer_changed = 1;
}

void zq_hConsoleHandleKeyEvent(const ConKeyRecord* record) {
    const bool alt_only = is_alt_only(record->state);
    if (record->key_down) {
        handle_key_down(record, alt_only);
    } else {
        handle_key_up(record, alt_only);
    }
}

int32_t zq_ConsoleProcessEvents() {
    start_once();
    const ConInputSource* in = __zq_con_input;
    int32_t result = 0;
    ConEvent event;
    while (in->next(&event)) {
        if (event.kind == ConEventKind::Key) {
            zq_hConsoleHandleKeyEvent(&event.key);
        } else if (event.kind == ConEventKind::Mouse && __zq_MouseEventHook) {
            __zq_MouseEventHook(event.mouse);
            result = 1;
        }
    }
    // After the events: reading them may be what found the console gone.
    if (in->take_close()) {
        const ConKeyRecord record = zq_hConsoleCloseRecord();
        zq_hConsolePostKey(ZQ_KEY_CLOSE, &record);
    }
    return result;
}

void zq_hExitControlHandler() {
    if (control_handler_inited) __zq_con_input->stop();
}

int32_t zq_hConsoleInputBufferChanged() {
    zq_ConsoleProcessEvents();
    const int32_t changed = key_buffer_changed;
    key_buffer_changed = 0;
    return changed;
}

int32_t zq_hConsoleGetKeyEx(int32_t whole, int32_t remove) {
    zq_ConsoleProcessEvents();
    const int32_t head = key_head;
    if (head == key_tail) return -1;
    const int32_t key = key_buffer[head];
    if (key < 256 || whole) {
        if (remove) {
            key_head = (head + 1) & kKeyMask;
            zq_hConsoleInputBufferChanged();
        }
        return key;
    }
    // An extended key read in two steps: 255 now, the scan code next time.
    key_buffer[head] = key >> 8;
    return 255;
}

int32_t zq_hConsolePeekKey(int32_t whole) {
    return zq_hConsoleGetKeyEx(whole, 0);
}

int32_t zq_hConsoleGetKey(int32_t whole) {
    return zq_hConsoleGetKeyEx(whole, 1);
}

void zq_hConsolePutBackEvents() {
    while (zq_ConsoleProcessEvents() != 0) {
    }
    const int32_t head = key_head;
    const int32_t tail = key_tail;
    if (head <= tail) {
        if (tail > head) __zq_con_input->put_back(input_events + head, tail - head);
        return;
    }
    __zq_con_input->put_back(input_events + head, ZQ_CON_KEY_SLOTS - head);
    if (tail > 0) __zq_con_input->put_back(input_events, tail);
}

int32_t zq_hConsoleWaitForExit(const ConCloseWait& wait) {
    int32_t waited = 0;
    while (waited < wait.limit_ms && !wait.finished()) {
        const int32_t step = std::min(wait.step_ms, wait.limit_ms - waited);
        wait.sleep(step);
        waited += step;
    }
    return waited;
}

void zq_hConsoleKeysReset() {
    key_head = 0;
    key_tail = 0;
    key_buffer_changed = 0;
    key_scratch_pad = 0;
}
