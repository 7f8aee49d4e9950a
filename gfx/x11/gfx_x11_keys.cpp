// Key symbols to PC keys: letters and digits by rule, every other key by row.
// The keypad's keys have one row per meaning (KP_Up and KP_8 are the same
// key with Num Lock off and on), as Windows gives VK_UP or VK_NUMPAD8 there.
#include "gfx/x11/gfx_x11_keys.h"

#include <X11/keysym.h>

#include "console/io_input.h"

namespace {
struct KeysymRow {
    uint32_t keysym;
    X11Key key;
};

constexpr bool E = true;  // enhanced
constexpr KeysymRow kRows[] = {
    // Main block.
    {XK_Escape, {Vk::Escape, 0x01, false}},
    {XK_minus, {Vk::OemMinus, 0x0C, false}},
    {XK_equal, {Vk::OemPlus, 0x0D, false}},
    {XK_BackSpace, {Vk::Back, 0x0E, false}},
    {XK_Tab, {Vk::Tab, 0x0F, false}},
    {XK_ISO_Left_Tab, {Vk::Tab, 0x0F, false}},
    {XK_bracketleft, {Vk::Oem4, 0x1A, false}},
    {XK_bracketright, {Vk::Oem6, 0x1B, false}},
    {XK_Return, {Vk::Return, 0x1C, false}},
    {XK_Control_L, {Vk::Control, 0x1D, false}},
    {XK_semicolon, {Vk::Oem1, 0x27, false}},
    {XK_apostrophe, {Vk::Oem7, 0x28, false}},
    {XK_grave, {Vk::Oem3, 0x29, false}},
    {XK_Shift_L, {Vk::Shift, 0x2A, false}},
    {XK_backslash, {Vk::Oem5, 0x2B, false}},
    {XK_comma, {Vk::OemComma, 0x33, false}},
    {XK_period, {Vk::OemPeriod, 0x34, false}},
    {XK_slash, {Vk::Oem2, 0x35, false}},
    {XK_Shift_R, {Vk::Shift, 0x36, false}},
    {XK_Alt_L, {Vk::Menu, 0x38, false}},
    {XK_Meta_L, {Vk::Menu, 0x38, false}},
    {XK_space, {Vk::Space, 0x39, false}},
    {XK_Caps_Lock, {Vk::Capital, 0x3A, false}},
    {XK_Num_Lock, {Vk::NumLock, 0x45, false}},
    {XK_Scroll_Lock, {Vk::Scroll, 0x46, false}},
    {XK_Pause, {Vk::Pause, 0x45, false}},
    {XK_F11, {Vk::F11, 0x57, false}},
    {XK_F12, {Vk::F12, 0x58, false}},
    // Keypad, Num Lock off | on.
    {XK_KP_Multiply, {Vk::Multiply, 0x37, false}},
    {XK_KP_Subtract, {Vk::Subtract, 0x4A, false}},
    {XK_KP_Add, {Vk::Add, 0x4E, false}},
    {XK_KP_Home, {Vk::Home, 0x47, false}},
    {XK_KP_7, {Vk::Numpad0 + 7, 0x47, false}},
    {XK_KP_Up, {Vk::Up, 0x48, false}},
    {XK_KP_8, {Vk::Numpad0 + 8, 0x48, false}},
    {XK_KP_Prior, {Vk::Prior, 0x49, false}},
    {XK_KP_9, {Vk::Numpad0 + 9, 0x49, false}},
    {XK_KP_Left, {Vk::Left, 0x4B, false}},
    {XK_KP_4, {Vk::Numpad0 + 4, 0x4B, false}},
    {XK_KP_Begin, {0x0C, 0x4C, false}},
    {XK_KP_5, {Vk::Numpad0 + 5, 0x4C, false}},
    {XK_KP_Right, {Vk::Right, 0x4D, false}},
    {XK_KP_6, {Vk::Numpad0 + 6, 0x4D, false}},
    {XK_KP_End, {Vk::End, 0x4F, false}},
    {XK_KP_1, {Vk::Numpad0 + 1, 0x4F, false}},
    {XK_KP_Down, {Vk::Down, 0x50, false}},
    {XK_KP_2, {Vk::Numpad0 + 2, 0x50, false}},
    {XK_KP_Next, {Vk::Next, 0x51, false}},
    {XK_KP_3, {Vk::Numpad0 + 3, 0x51, false}},
    {XK_KP_Insert, {Vk::Insert, 0x52, false}},
    {XK_KP_0, {Vk::Numpad0, 0x52, false}},
    {XK_KP_Delete, {Vk::Delete, 0x53, false}},
    {XK_KP_Decimal, {Vk::Decimal, 0x53, false}},
    // Enhanced keys: the grey block and the right-hand duplicates.
    {XK_KP_Enter, {Vk::Return, 0x1C, E}},
    {XK_Control_R, {Vk::Control, 0x1D, E}},
    {XK_KP_Divide, {Vk::Divide, 0x35, E}},
    {XK_Alt_R, {Vk::Menu, 0x38, E}},
    {XK_ISO_Level3_Shift, {Vk::Menu, 0x38, E}},
    {XK_Home, {Vk::Home, 0x47, E}},
    {XK_Up, {Vk::Up, 0x48, E}},
    {XK_Prior, {Vk::Prior, 0x49, E}},
    {XK_Left, {Vk::Left, 0x4B, E}},
    {XK_Right, {Vk::Right, 0x4D, E}},
    {XK_End, {Vk::End, 0x4F, E}},
    {XK_Down, {Vk::Down, 0x50, E}},
    {XK_Next, {Vk::Next, 0x51, E}},
    {XK_Insert, {Vk::Insert, 0x52, E}},
    {XK_Delete, {Vk::Delete, 0x53, E}},
    {XK_Super_L, {Vk::LWin, 0x7D, E}},
    {XK_Super_R, {Vk::RWin, 0x7E, E}},
    {XK_Menu, {Vk::Apps, 0x7F, E}},
};
}  // namespace

bool zq_hX11KeyOf(uint32_t keysym, X11Key* key) {
    if (keysym >= XK_F1 && keysym <= XK_F10) {
        uint32_t n = keysym - XK_F1;
        *key = {static_cast<uint8_t>(Vk::F1 + n), static_cast<uint8_t>(0x3B + n), false};
        return true;
    }
    // Letters and digits: the virtual key is the capital or the digit.
    uint32_t vk = keysym >= XK_a && keysym <= XK_z ? keysym - (XK_a - XK_A) : keysym;
    if ((vk >= XK_A && vk <= XK_Z) || (vk >= XK_0 && vk <= XK_9)) {
        *key = {static_cast<uint8_t>(vk),
                static_cast<uint8_t>(zq_hVirtualToScancode(static_cast<int32_t>(vk))), false};
        return true;
    }
    for (const KeysymRow& row : kRows) {
        if (row.keysym != keysym) continue;
        *key = row.key;
        return true;
    }
    return false;
}
