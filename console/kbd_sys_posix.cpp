// A fixed US layout: what the Windows layout of that name answers.
#include <array>
#include <cstddef>

#include "console/io_input.h"
#include "console/kbd_sys.h"

namespace {
constexpr std::array<uint8_t, 256> make_us_layout() {
    std::array<uint8_t, 256> t{};
    for (int c = '0'; c <= '9'; ++c) t[c] = static_cast<uint8_t>(c);
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<uint8_t>(c);
    for (int i = 0; i < 10; ++i) t[Vk::Numpad0 + i] = static_cast<uint8_t>('0' + i);
    t[Vk::Back] = 0x08;
    t[Vk::Tab] = 0x09;
    t[Vk::Return] = 0x0D;
    t[Vk::Escape] = 0x1B;
    t[Vk::Space] = ' ';
    t[Vk::Multiply] = '*';
    t[Vk::Add] = '+';
    t[Vk::Subtract] = '-';
    t[Vk::Decimal] = '.';
    t[Vk::Divide] = '/';
    t[Vk::Oem1] = ';';
    t[Vk::OemPlus] = '=';
    t[Vk::OemComma] = ',';
    t[Vk::OemMinus] = '-';
    t[Vk::OemPeriod] = '.';
    t[Vk::Oem2] = '/';
    t[Vk::Oem3] = '`';
    t[Vk::Oem4] = '[';
    t[Vk::Oem5] = '\\';
    t[Vk::Oem6] = ']';
    t[Vk::Oem7] = '\'';
    return t;
}

constexpr std::array<uint8_t, 256> us_layout = make_us_layout();

constexpr int32_t kShift = 0x100, kCtrl = 0x200;

// The keys of the shifted characters, in the order of the characters below.
constexpr char kShifted[] = "!@#$%^&*():+<_>?~{|}\"";
constexpr uint8_t kShiftedKeys[] = {
    '1',           '2',      '3',      '4',      '5',         '6',          '7',
    '8',           '9',      '0',      Vk::Oem1, Vk::OemPlus, Vk::OemComma, Vk::OemMinus,
    Vk::OemPeriod, Vk::Oem2, Vk::Oem3, Vk::Oem4, Vk::Oem5,    Vk::Oem6,     Vk::Oem7};
static_assert(sizeof kShifted - 1 == sizeof kShiftedKeys);

// Character to key, main keys before the numeric keypad's.
constexpr std::array<int16_t, 256> make_char_keys() {
    std::array<int16_t, 256> t{};
    for (auto& k : t) k = -1;
    for (int vk = Vk::Divide; vk >= 1; --vk) {
        uint8_t c = us_layout[vk];
        if (c == 0) continue;
        if (c >= 'A' && c <= 'Z') {
            t[c + 0x20] = static_cast<int16_t>(vk);
            t[c] = static_cast<int16_t>(vk | kShift);
            t[c - 0x40] = static_cast<int16_t>(vk | kCtrl);
        } else {
            t[c] = static_cast<int16_t>(vk);
        }
    }
    for (int vk = 0xFF; vk > Vk::Divide; --vk) {
        if (us_layout[vk]) t[us_layout[vk]] = static_cast<int16_t>(vk);
    }
    for (std::size_t i = 0; i < sizeof kShiftedKeys; ++i)
        t[static_cast<uint8_t>(kShifted[i])] = static_cast<int16_t>(kShiftedKeys[i] | kShift);
    // The control characters with keys of their own.
    t[0x08] = Vk::Back;
    t[0x09] = Vk::Tab;
    t[0x0A] = static_cast<int16_t>(Vk::Return | kCtrl);
    t[0x0D] = Vk::Return;
    t[0x1B] = Vk::Escape;
    return t;
}

constexpr std::array<int16_t, 256> char_keys = make_char_keys();
}  // namespace

uint32_t kbd_sys_key_char(uint32_t vk) {
    return vk < us_layout.size() ? us_layout[vk] : 0;
}

int32_t kbd_sys_char_key(uint8_t c) {
    return char_keys[c];
}

int32_t kbd_sys_vk_scan(int32_t vk) {
    return zq_hVirtualToScancode(vk);
}
