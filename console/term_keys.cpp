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

// ESC [ params final. Returns the bytes used; an unfinished sequence uses all,
// or none while more bytes may follow. One with no final byte within
// ZQ_TERM_SEQUENCE_MAX bytes is dropped there, so that a sequence cut by a
// read decodes as it would have whole.
int32_t decode_csi(const uint8_t* s, int32_t len, ConKeyRecord* key, bool more) {
    int params[2] = {0, 0};
    int count = 0;
    int32_t i = 2;
    const int32_t end = len < ZQ_TERM_SEQUENCE_MAX ? len : ZQ_TERM_SEQUENCE_MAX;
    for (; i < end; ++i) {
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
    if (i == ZQ_TERM_SEQUENCE_MAX) return i;
    if (i >= len) return more ? 0 : len;
    const uint32_t state = modifier_state(params[1]);
    if (s[i] == '~') {
        if (params[0] < kTildeKeyCount) *key = from_term_key(kTildeKeys[params[0]], state);
    } else {
        *key = from_term_key(letter_key(s[i]), state);
    }
    return i + 1;
}
}  // namespace

int32_t term_decode_key(const uint8_t* s, int32_t len, ConKeyRecord* key, bool more) {
    *key = ConKeyRecord{};
    if (len <= 0) return 0;
    // ESC, ESC [ and ESC O may begin a longer sequence.
    if (more && s[0] == kEsc && (len == 1 || (len == 2 && (s[1] == '[' || s[1] == 'O')))) return 0;
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
    if (s[1] == '[' && len > 2) return decode_csi(s, len, key, more);
    if (s[1] == 'O' && len > 2) {
        *key = from_term_key(letter_key(s[2]), 0);
        return 3;
    }
    // ESC before a character: that character typed with Alt.
    *key = from_character(s[1] == 0x7F ? 0x08 : s[1], true);
    return 2;
}

int32_t term_decode_bytes(TermDecoder* d, const uint8_t* bytes, int32_t len, ConKeyRecord* keys) {
    int32_t count = 0;
    uint8_t joined[ZQ_TERM_SEQUENCE_MAX + 64];
    do {
        const int32_t piece = len < 64 ? len : 64;
        if (piece > 0) std::memcpy(joined + d->carry_len, bytes, static_cast<size_t>(piece));
        const int32_t n = d->carry_len + piece;
        bytes += piece;
        len -= piece;
        int32_t at = 0;
        while (at < n) {
            // No new bytes: the input paused, so what is kept is complete.
            const int32_t used = term_decode_key(joined + at, n - at, &keys[count], piece > 0);
            if (used == 0) break;
            at += used;
            if (keys[count].key_down) ++count;
        }
        d->carry_len = n - at;
        std::memmove(d->carry, joined + at, static_cast<size_t>(d->carry_len));
        std::memcpy(joined, d->carry, static_cast<size_t>(d->carry_len));
    } while (len > 0);
    return count;
}
