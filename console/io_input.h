// Key translation: from a Windows key stroke (virtual key, scan code,
// control-key state, typed character) to the program's key codes. A key code
// is a character 0..255, or an extended key code (scan code << 8) | 0xFF for
// keys without a character (arrows, function keys, Alt+letter, ...).
//
// Used by the graphics window procedure and by the text console's keyboard
// input; the key-state refresh of the drivers walks __zq_keytable. Nothing
// here needs a lock: the tables are constant and the routines keep no state.
#pragma once

#include <cstdint>

#include "zq/zq_rt.h"

// Virtual-key codes the tables use (the values of the Windows VK_ names; named
// apart from them so that both can be in scope).
namespace Vk {
inline constexpr uint8_t Back = 0x08, Tab = 0x09, Return = 0x0D, Shift = 0x10, Control = 0x11,
                         Menu = 0x12, Pause = 0x13, Capital = 0x14, Escape = 0x1B, Space = 0x20;
inline constexpr uint8_t Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24, Left = 0x25, Up = 0x26,
                         Right = 0x27, Down = 0x28, Insert = 0x2D, Delete = 0x2E;
inline constexpr uint8_t LWin = 0x5B, RWin = 0x5C, Apps = 0x5D, Numpad0 = 0x60, Multiply = 0x6A,
                         Add = 0x6B, Subtract = 0x6D, Decimal = 0x6E, Divide = 0x6F, F1 = 0x70,
                         F11 = 0x7A, F12 = 0x7B, NumLock = 0x90, Scroll = 0x91;
inline constexpr uint8_t Oem1 = 0xBA, OemPlus = 0xBB, OemComma = 0xBC, OemMinus = 0xBD,
                         OemPeriod = 0xBE, Oem2 = 0xBF, Oem3 = 0xC0, Oem4 = 0xDB, Oem5 = 0xDC,
                         Oem6 = 0xDD, Oem7 = 0xDE;
}  // namespace Vk

// Bits of the control-state word (the console's key-state bits).
namespace KeyState {
inline constexpr int32_t RightAlt = 0x01;
inline constexpr int32_t LeftAlt = 0x02;
inline constexpr int32_t RightCtrl = 0x04;
inline constexpr int32_t LeftCtrl = 0x08;
inline constexpr int32_t Shift = 0x10;
inline constexpr int32_t Enhanced = 0x100;  // grey keys and the right-hand duplicates
inline constexpr int32_t AnyAlt = RightAlt | LeftAlt;
inline constexpr int32_t AnyCtrl = RightCtrl | LeftCtrl;
}  // namespace KeyState

// ZQ_KEY_CLOSE, the close button's key code, is public (zq/zq_rt.h).

// Scan code to virtual key(s); vk2 is 0 when the key has one virtual key.
struct KeyTableRow {
    uint8_t scan;
    uint8_t vk;
    uint8_t vk2;
};
inline constexpr int ZQ_KEYTABLE_ROWS = 86;
// ZQ_KEYTABLE_ROWS rows in scan-code order, then a row with scan code 0.
extern const KeyTableRow __zq_keytable[ZQ_KEYTABLE_ROWS + 1];

// The codes a scan code gives alone and with Shift, Ctrl and Alt. A code above
// 255 stands for the extended key code (code & 0xFF00) | 0xFF; 0..255 means
// "use the typed character".
struct AscKeyCodes {
    uint16_t normal, shift, ctrl, alt;
};
inline constexpr int ZQ_ASC_KEY_ROWS = 0x59;  // scan codes 0x00..0x58
extern const AscKeyCodes zq_asc_key_codes[ZQ_ASC_KEY_ROWS];

// The same for the enhanced (grey) keys, looked up by scan code.
struct ExtKeyEntry {
    uint16_t scan, normal, shift, ctrl, alt;
};
inline constexpr int ZQ_EXT_KEY_ROWS = 12;
extern const ExtKeyEntry zq_ext_key_entries[ZQ_EXT_KEY_ROWS];

// A key stroke as a key code. ascii: the typed character (low byte used, 0 for
// none); scan, vk: scan code and virtual key (low 16 bits used); state: the
// KeyState bits; extended_only non-zero: return -1 rather than a character.
// Returns a character 0..255, an extended key code, or -1 for nothing.
int32_t zq_hConsoleTranslateKey(int32_t ascii, int32_t scan, int32_t vk, int32_t state,
                                int32_t extended_only);

// The scan code of a virtual key (the first __zq_keytable row naming it), 0
// when no row does.
int32_t zq_hVirtualToScancode(int32_t vk);
