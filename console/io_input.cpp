// Key translation tables and routines. The codes follow the PC keyboard's
// scan-code set 1, so programs see the key codes they know from the text
// console whatever window delivered the stroke.
#include "console/io_input.h"

#include <cctype>

#include "console/kbd_sys.h"

namespace {
// A code above 255 whose high byte becomes the extended key's scan byte.
constexpr uint16_t ext(uint8_t high) {
    return static_cast<uint16_t>(high << 8);
}

constexpr AscKeyCodes letter(char lower, uint8_t scan) {
    return {static_cast<uint16_t>(lower), static_cast<uint16_t>(lower - 0x20),
            static_cast<uint16_t>(lower - 0x60), ext(scan)};
}

constexpr AscKeyCodes fkey(uint8_t scan) {
    return {ext(scan), ext(scan + 0x19), ext(scan + 0x23), ext(scan + 0x2D)};
}

constexpr AscKeyCodes none{0, 0, 0, 0};
}  // namespace

// Rows: {scan code, virtual key, second virtual key}.
// clang-format off
constexpr KeyTableRow __zq_keytable[ZQ_KEYTABLE_ROWS + 1] = {
    {0x01, Vk::Escape, 0},
    {0x02, '1', 0}, {0x03, '2', 0}, {0x04, '3', 0}, {0x05, '4', 0}, {0x06, '5', 0},
    {0x07, '6', 0}, {0x08, '7', 0}, {0x09, '8', 0}, {0x0A, '9', 0}, {0x0B, '0', 0},
    {0x0C, Vk::OemMinus, Vk::Subtract}, {0x0D, Vk::OemPlus, 0}, {0x0E, Vk::Back, 0},
    {0x0F, Vk::Tab, 0},
    {0x10, 'Q', 0}, {0x11, 'W', 0}, {0x12, 'E', 0}, {0x13, 'R', 0}, {0x14, 'T', 0},
    {0x15, 'Y', 0}, {0x16, 'U', 0}, {0x17, 'I', 0}, {0x18, 'O', 0}, {0x19, 'P', 0},
    {0x1A, Vk::Oem4, 0}, {0x1B, Vk::Oem6, 0}, {0x1C, Vk::Return, 0}, {0x1D, Vk::Control, 0},
    {0x1E, 'A', 0}, {0x1F, 'S', 0}, {0x20, 'D', 0}, {0x21, 'F', 0}, {0x22, 'G', 0},
    {0x23, 'H', 0}, {0x24, 'J', 0}, {0x25, 'K', 0}, {0x26, 'L', 0},
    {0x27, Vk::Oem1, 0}, {0x28, Vk::Oem7, 0}, {0x29, Vk::Oem3, 0}, {0x2A, Vk::Shift, 0},
    {0x2B, Vk::Oem5, 0},
    {0x2C, 'Z', 0}, {0x2D, 'X', 0}, {0x2E, 'C', 0}, {0x2F, 'V', 0}, {0x30, 'B', 0},
    {0x31, 'N', 0}, {0x32, 'M', 0},
    {0x33, Vk::OemComma, 0}, {0x34, Vk::OemPeriod, 0}, {0x35, Vk::Oem2, Vk::Divide},
    {0x36, Vk::Shift, 0}, {0x37, Vk::Multiply, 0}, {0x38, Vk::Menu, 0}, {0x39, Vk::Space, 0},
    {0x3A, Vk::Capital, 0},
    {0x3B, Vk::F1 + 0, 0}, {0x3C, Vk::F1 + 1, 0}, {0x3D, Vk::F1 + 2, 0}, {0x3E, Vk::F1 + 3, 0},
    {0x3F, Vk::F1 + 4, 0}, {0x40, Vk::F1 + 5, 0}, {0x41, Vk::F1 + 6, 0}, {0x42, Vk::F1 + 7, 0},
    {0x43, Vk::F1 + 8, 0}, {0x44, Vk::F1 + 9, 0},
    {0x45, Vk::NumLock, 0}, {0x46, Vk::Scroll, 0},
    {0x47, Vk::Home,  Vk::Numpad0 + 7}, {0x48, Vk::Up,     Vk::Numpad0 + 8},
    {0x49, Vk::Prior, Vk::Numpad0 + 9}, {0x4B, Vk::Left,   Vk::Numpad0 + 4},
    {0x4D, Vk::Right, Vk::Numpad0 + 6}, {0x4E, Vk::Add,    0},
    {0x4F, Vk::End,   Vk::Numpad0 + 1}, {0x50, Vk::Down,   Vk::Numpad0 + 2},
    {0x51, Vk::Next,  Vk::Numpad0 + 3}, {0x52, Vk::Insert, Vk::Numpad0 + 0},
    {0x53, Vk::Delete, Vk::Decimal},
    {0x57, Vk::F11, 0}, {0x58, Vk::F12, 0},
    {0x7D, Vk::LWin, 0}, {0x7E, Vk::RWin, 0}, {0x7F, Vk::Apps, 0},
    {0, 0, 0},
};
// clang-format on

// Columns: normal, shift, ctrl, alt.
constexpr AscKeyCodes zq_asc_key_codes[ZQ_ASC_KEY_ROWS] = {
    /* 00 */ none,
    /* 01 Esc */ {0x1B, 0x1B, 0x1B, ext(0x01)},
    /* 02 1 */ {'1', '!', 0x00, ext(0x78)},
    /* 03 2 */ {'2', '@', ext(0x03), ext(0x79)},
    /* 04 3 */ {'3', '#', 0x00, ext(0x7A)},
    /* 05 4 */ {'4', '$', 0x00, ext(0x7B)},
    /* 06 5 */ {'5', '%', 0x00, ext(0x7C)},
    /* 07 6 */ {'6', '^', 0x1E, ext(0x7D)},
    // Alt+7 and Alt+8 share their codes with Alt+- and Alt+=.
    /* 08 7 */ {'7', '&', 0x00, ext(0x82)},
    /* 09 8 */ {'8', '*', 0x00, ext(0x83)},
    /* 0A 9 */ {'9', '(', 0x00, ext(0x80)},
    /* 0B 0 */ {'0', ')', 0x00, ext(0x81)},
    /* 0C - */ {'-', '_', 0x1F, ext(0x82)},
    /* 0D = */ {'=', '+', 0x00, ext(0x83)},
    /* 0E Backspace */ {0x08, 0x08, 0x7F, ext(0xE0)},
    /* 0F Tab */ {0x09, ext(0x0F), ext(0x94), ext(0x0F)},
    /* 10 */ letter('q', 0x10),
    /* 11 */ letter('w', 0x11),
    /* 12 */ letter('e', 0x12),
    /* 13 */ letter('r', 0x13),
    /* 14 */ letter('t', 0x14),
    /* 15 */ letter('y', 0x15),
    /* 16 */ letter('u', 0x16),
    /* 17 */ letter('i', 0x17),
    /* 18 */ letter('o', 0x18),
    /* 19 */ letter('p', 0x19),
    /* 1A [ */ {'[', '{', 0x1B, ext(0x1A)},
    /* 1B ] */ {']', '}', 0x1D, ext(0x1B)},
    /* 1C Enter */ {0x0D, 0x0D, 0x0A, ext(0x1C)},
    /* 1D Ctrl */ none,
    /* 1E */ letter('a', 0x1E),
    /* 1F */ letter('s', 0x1F),
    /* 20 */ letter('d', 0x20),
    /* 21 */ letter('f', 0x21),
    /* 22 */ letter('g', 0x22),
    /* 23 */ letter('h', 0x23),
    /* 24 */ letter('j', 0x24),
    /* 25 */ letter('k', 0x25),
    /* 26 */ letter('l', 0x26),
    /* 27 ; */ {';', ':', 0x00, ext(0x27)},
    /* 28 ' */ {'\'', '"', 0x00, ext(0x28)},
    /* 29 ` */ {'`', '~', 0x00, ext(0x29)},
    /* 2A LShift */ none,
    /* 2B \ */ {'\\', '|', 0x1C, 0x00},
    /* 2C */ letter('z', 0x2C),
    /* 2D */ letter('x', 0x2D),
    /* 2E */ letter('c', 0x2E),
    /* 2F */ letter('v', 0x2F),
    /* 30 */ letter('b', 0x30),
    /* 31 */ letter('n', 0x31),
    /* 32 */ letter('m', 0x32),
    /* 33 , */ {',', '<', 0x00, ext(0x33)},
    /* 34 . */ {'.', '>', 0x00, ext(0x34)},
    /* 35 / */ {'/', '?', 0x00, ext(0x35)},
    /* 36 RShift */ none,
    /* 37 pad * */ {'*', '*', 0x00, 0x00},
    /* 38 Alt */ none,
    /* 39 Space */ {' ', ' ', ' ', ' '},
    /* 3A Caps */ none,
    /* 3B F1 */ fkey(0x3B),
    /* 3C F2 */ fkey(0x3C),
    /* 3D F3 */ fkey(0x3D),
    /* 3E F4 */ fkey(0x3E),
    /* 3F F5 */ fkey(0x3F),
    /* 40 F6 */ fkey(0x40),
    /* 41 F7 */ fkey(0x41),
    /* 42 F8 */ fkey(0x42),
    /* 43 F9 */ fkey(0x43),
    /* 44 F10 */ fkey(0x44),
    /* 45 NumLock */ none,
    /* 46 Scroll */ none,
    /* 47 Home */ {ext(0x47), '7', ext(0x77), 0x00},
    /* 48 Up */ {ext(0x48), '8', ext(0x8D), 0x00},
    /* 49 PgUp */ {ext(0x49), '9', ext(0x84), 0x00},
    /* 4A pad - */ {'-', '-', 0x00, 0x00},
    /* 4B Left */ {ext(0x4B), '4', ext(0x73), 0x00},
    /* 4C pad 5 */ {ext(0x4C), '5', ext(0x8F), ext(0x4C)},
    /* 4D Right */ {ext(0x4D), '6', ext(0x74), 0x00},
    /* 4E pad + */ {'+', '+', 0x00, 0x00},
    /* 4F End */ {ext(0x4F), '1', ext(0x75), 0x00},
    /* 50 Down */ {ext(0x50), '2', ext(0x91), 0x00},
    /* 51 PgDn */ {ext(0x51), '3', ext(0x76), 0x00},
    /* 52 Ins */ {ext(0x52), '0', ext(0x92), 0x00},
    /* 53 Del */ {ext(0x53), '.', ext(0x93), 0x00},
    /* 54 */ none,
    /* 55 */ none,
    /* 56 */ none,
    /* 57 F11 */ {ext(0x85), ext(0x87), ext(0x89), ext(0x8B)},
    /* 58 F12 */ {ext(0x86), ext(0x88), ext(0x8A), ext(0x8C)},
};

// Columns: scan, normal, shift, ctrl, alt.
constexpr ExtKeyEntry zq_ext_key_entries[ZQ_EXT_KEY_ROWS] = {
    {0x1C, 0x000D, 0x000D, 0x000A, 0xA600}, {0x35, 0x002F, 0x003F, 0x9500, 0xA400},
    {0x47, 0x4700, 0x4700, 0x7700, 0x9700}, {0x48, 0x4800, 0x4800, 0x8D00, 0x9800},
    {0x49, 0x4900, 0x4900, 0x8400, 0x9900}, {0x4B, 0x4B00, 0x4B00, 0x7300, 0x9B00},
    {0x4D, 0x4D00, 0x4D00, 0x7400, 0x9D00}, {0x4F, 0x4F00, 0x4F00, 0x7500, 0x9F00},
    {0x50, 0x5000, 0x5000, 0x9100, 0xA000}, {0x51, 0x5100, 0x5100, 0x7600, 0xA100},
    {0x52, 0x5200, 0x5200, 0x9200, 0xA200}, {0x53, 0x5300, 0x5300, 0x9300, 0xA300},
};

namespace {
constexpr bool keytable_is_sorted_and_ended() {
    for (int i = 1; i < ZQ_KEYTABLE_ROWS; ++i) {
        if (__zq_keytable[i].scan <= __zq_keytable[i - 1].scan) return false;
    }
    return __zq_keytable[ZQ_KEYTABLE_ROWS].scan == 0;
}
static_assert(keytable_is_sorted_and_ended(), "key table rows out of order or unterminated");

int32_t extended_code(uint16_t code) {
    return (code & 0xFF00) | 0xFF;
}

int32_t as_key(uint16_t code) {
    return code > 255 ? extended_code(code) : code;
}

// Alt wins over Ctrl, Ctrl over Shift; 0 means none of them is down.
template <typename Row>
const uint16_t* modified_code(const Row& row, int32_t state) {
    if (state & KeyState::AnyAlt) return &row.alt;
    if (state & KeyState::AnyCtrl) return &row.ctrl;
    if (state & KeyState::Shift) return &row.shift;
    return nullptr;
}

int32_t translate_enhanced(int32_t scan, int32_t state) {
    for (const ExtKeyEntry& row : zq_ext_key_entries) {
        if (row.scan != scan) continue;
        const uint16_t* code = modified_code(row, state);
        if (!code) return as_key(row.normal);
        return *code ? as_key(*code) : -1;
    }
    return -1;
}

// The other case of a character; characters beyond a byte have none here.
uint32_t other_case(uint32_t ch) {
    if (ch > 0xFF) return ch;
    int c = static_cast<int>(ch);
    if (std::isupper(c)) return static_cast<uint32_t>(std::tolower(c));
    if (std::islower(c)) return static_cast<uint32_t>(std::toupper(c));
    return ch;
}
}  // namespace

int32_t zq_hConsoleTranslateKey(int32_t ascii, int32_t scan, int32_t vk, int32_t state,
                                int32_t extended_only) {
    const uint32_t c = static_cast<uint32_t>(ascii) & 0xFF;
    scan &= 0xFFFF;
    vk &= 0xFFFF;
    if (c == 0 && (state & KeyState::Enhanced)) return translate_enhanced(scan, state);
    if (scan >= ZQ_ASC_KEY_ROWS) return (extended_only || c == 0) ? -1 : static_cast<int32_t>(c);

    const AscKeyCodes& row = zq_asc_key_codes[scan];
    const uint32_t ch = kbd_sys_key_char(static_cast<uint32_t>(vk));
    const uint16_t* modified = modified_code(row, state);
    uint32_t code = modified ? *modified : (c != 0 ? ch : row.normal);
    // A code from the table only counts when the typed character is this key's
    // own (either case): a layout that types something else keeps its character.
    bool extended = code > 255 && (c == ch || c == other_case(ch));
    if (extended) return extended_code(static_cast<uint16_t>(code));
    if (extended_only || c == 0) return -1;
    return static_cast<int32_t>(c);
}

int32_t zq_hVirtualToScancode(int32_t vk) {
    // 0 names no key: it must not match the "no second key" entries.
    if (vk <= 0) return 0;
    for (const KeyTableRow* row = __zq_keytable; row->scan != 0; ++row) {
        if (row->vk2 == vk || row->vk == vk) return row->scan;
    }
    return 0;
}
