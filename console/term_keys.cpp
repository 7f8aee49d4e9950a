// Terminal input bytes as console key events: characters become the key
// strokes that type them on a US layout, and the escape sequences of the
// cursor, editing and function keys become those keys' strokes, so that the
// key translation gives the same codes as on the Win32 console.
#include <cstring>

#include "console/con_in.h"
#include "console/io_input.h"
#include "console/kbd_sys.h"

namespace {
constexpr uint8_t kEsc = 0x1B;

struct TermKey {
    uint8_t vk;
    uint8_t scan;
    bool grey;  // one of the enhanced keys (arrows and the editing block)
};

constexpr TermKey kUp{Vk::Up, 0x48, true}, kDown{Vk::Down, 0x50, true},
    kRight{Vk::Right, 0x4D, true}, kLeft{Vk::Left, 0x4B, true}, kHome{Vk::Home, 0x47, true},
    kEnd{Vk::End, 0x4F, true}, kInsert{Vk::Insert, 0x52, true}, kDelete{Vk::Delete, 0x53, true},
    kPageUp{Vk::Prior, 0x49, true}, kPageDown{Vk::Next, 0x51, true}, kNone{0, 0, false};

constexpr TermKey function_key(int n) {
    if (n == 11) return {Vk::F11, 0x57, false};
    if (n == 12) return {Vk::F12, 0x58, false};
    return {static_cast<uint8_t>(Vk::F1 + n - 1), static_cast<uint8_t>(0x3B + n - 1), false};
}

// The key of a final letter: ESC [ A, ESC O A, ESC [ 1 ; 5 A, ...
TermKey letter_key(uint8_t final) {
    switch (final) {
        case 'A':
            return kUp;
        case 'B':
            return kDown;
        case 'C':
            return kRight;
        case 'D':
            return kLeft;
        case 'H':
            return kHome;
        case 'F':
            return kEnd;
        case 'P':
            return function_key(1);
        case 'Q':
            return function_key(2);
        case 'R':
            return function_key(3);
        case 'S':
            return function_key(4);
        default:
            return kNone;
    }
}

// The key of a number before '~': ESC [ 2 ~, ESC [ 1 5 ; 2 ~, ...
constexpr TermKey kTildeKeys[] = {
    kNone,
    kHome,
    kInsert,
    kDelete,
    kEnd,
    kPageUp,
    kPageDown,
    kHome,
    kEnd,
    kNone,
    kNone,
    function_key(1),
    function_key(2),
    function_key(3),
    function_key(4),
    function_key(5),
    kNone,
    function_key(6),
    function_key(7),
    function_key(8),
    function_key(9),
    function_key(10),
    kNone,
    function_key(11),
    function_key(12),
};
constexpr int kTildeKeyCount = sizeof kTildeKeys / sizeof kTildeKeys[0];

// xterm's modifier parameter: 1 + Shift 1, Alt 2, Ctrl 4.
uint32_t modifier_state(int param) {
    const int bits = param > 1 ? param - 1 : 0;
    uint32_t state = 0;
    if (bits & 1) state |= KeyState::Shift;
    if (bits & 2) state |= KeyState::LeftAlt;
    if (bits & 4) state |= KeyState::LeftCtrl;
    return state;
}

ConKeyRecord pressed(uint16_t vk, uint16_t scan, uint8_t ch, uint32_t state) {
    ConKeyRecord key{};
    key.key_down = 1;
    key.repeat = 1;
    key.vk = vk;
    key.scan = scan;
    key.ch = ch;
    key.state = state;
    return key;
}

ConKeyRecord from_term_key(TermKey k, uint32_t state) {
    if (k.vk == 0) return ConKeyRecord{};
    return pressed(k.vk, k.scan, 0, state | (k.grey ? KeyState::Enhanced : 0));
}

// The stroke that types character c, Alt added when `alt`.
ConKeyRecord from_character(uint8_t c, bool alt) {
    const int32_t key = kbd_sys_char_key(c);
    uint32_t state = alt ? KeyState::LeftAlt : 0;
    if (key == -1) return pressed(0, 0, c, state);
    if (key & 0x100) state |= KeyState::Shift;
    if (key & 0x200) state |= KeyState::LeftCtrl;
    const uint16_t vk = static_cast<uint16_t>(key & 0xFF);
    return pressed(vk, static_cast<uint16_t>(kbd_sys_vk_scan(vk)), c, state);
}

bool is_digit(uint8_t c) {
    return c >= '0' && c <= '9';
}

// ESC [ params final. Returns the bytes used; an unfinished sequence uses all.
int32_t decode_csi(const uint8_t* s, int32_t len, ConKeyRecord* key) {
    int params[2] = {0, 0};
    int count = 0;
    int32_t i = 2;
    for (; i < len; ++i) {
        const uint8_t c = s[i];
        if (is_digit(c)) {
            // Clamped: a long run of digits must not overflow.
            if (count < 2 && params[count] < 1000) params[count] = params[count] * 10 + (c - '0');
        } else if (c == ';') {
            ++count;
        } else if (c >= 0x40 && c <= 0x7E) {
            break;
        }
    }
    *key = ConKeyRecord{};
    if (i >= len) return len;
    const uint32_t state = modifier_state(params[1]);
    if (s[i] == '~') {
        if (params[0] < kTildeKeyCount) *key = from_term_key(kTildeKeys[params[0]], state);
    } else {
        *key = from_term_key(letter_key(s[i]), state);
    }
    return i + 1;
}
}  // namespace

namespace {
// An escape sequence whose end has not come yet: ESC alone, ESC [ or ESC O
// without their final byte.
bool unfinished(const uint8_t* s, int32_t len) {
    if (s[0] != kEsc) return false;
    if (len == 1) return true;
    if (s[1] == 'O') return len == 2;
    if (s[1] != '[') return false;
    for (int32_t i = 2; i < len; ++i) {
        if (s[i] >= 0x40 && s[i] <= 0x7E) return false;
    }
    return true;
}

// Decodes bytes[0..len) to `out`; with more_may_follow, an unfinished sequence
// at the end is left. Returns the bytes used; *keys grows by the keys found.
int32_t decode_run(const uint8_t* bytes, int32_t len, bool more_may_follow, ConKeyRecord* out,
                   int32_t* keys) {
    int32_t at = 0;
    while (at < len) {
        ConKeyRecord key;
        const int32_t used = term_decode_key(bytes + at, len - at, &key, more_may_follow);
        if (used == 0) break;
        if (key.key_down) out[(*keys)++] = key;
        at += used;
    }
    return at;
}
}  // namespace

int32_t term_decode_key(const uint8_t* s, int32_t len, ConKeyRecord* key, bool more_may_follow) {
    *key = ConKeyRecord{};
    if (len <= 0) return 0;
    if (more_may_follow && unfinished(s, len)) return 0;
    if (s[0] != kEsc) {
        // Enter arrives as CR; DEL is the Backspace key of most terminals.
        if (s[0] == 0x7F)
            *key = from_character(0x08, false);
        else
            *key = from_character(s[0], false);
        return 1;
    }
    if (len == 1 || s[1] == kEsc) {
        *key = from_character(kEsc, false);
        return 1;
    }
    if (s[1] == '[' && len > 2) return decode_csi(s, len, key);
    if (s[1] == 'O' && len > 2) {
        *key = from_term_key(letter_key(s[2]), 0);
        return 3;
    }
    // ESC before a character: that character typed with Alt.
    *key = from_character(s[1] == 0x7F ? 0x08 : s[1], true);
    return 2;
}

int32_t term_expire(TermDecoder* d, int64_t now_ms, ConKeyRecord* out) {
    if (d->count == 0 || now_ms - d->since_ms < ZQ_TERM_ESC_MS) return 0;
    int32_t keys = 0;
    decode_run(d->held, d->count, false, out, &keys);
    d->count = 0;
    return keys;
}

int32_t term_feed(TermDecoder* d, const uint8_t* bytes, int32_t len, int64_t now_ms,
                  ConKeyRecord* out) {
    // Bytes that waited too long stand alone: they are no part of these.
    int32_t keys = term_expire(d, now_ms, out);
    if (len <= 0) return keys;
    if (len > ZQ_TERM_FEED) len = ZQ_TERM_FEED;
    uint8_t all[ZQ_TERM_HELD + ZQ_TERM_FEED];
    // The count is never outside 0..ZQ_TERM_HELD; saying so lets the compiler
    // see the copies stay inside `all`.
    const int32_t held = d->count > 0 && d->count <= ZQ_TERM_HELD ? d->count : 0;
    std::memcpy(all, d->held, static_cast<size_t>(held));
    std::memcpy(all + held, bytes, static_cast<size_t>(len));
    const int32_t total = held + len;
    int32_t at = decode_run(all, total, true, out, &keys);
    // A sequence too long to be one the decoder knows is taken as it stands.
    if (total - at > ZQ_TERM_HELD) at += decode_run(all + at, total - at, false, out, &keys);
    if (at > 0 || held == 0) d->since_ms = now_ms;
    d->count = total - at;
    std::memcpy(d->held, all + at, static_cast<size_t>(d->count));
    return keys;
}

int32_t term_wait_ms(const TermDecoder* d, int64_t now_ms) {
    if (d->count == 0) return 0;
    const int64_t left = d->since_ms + ZQ_TERM_ESC_MS - now_ms;
    return left > 0 ? static_cast<int32_t>(left) : 0;
}
