// A fixed US layout: what the Windows layout of that name answers.
#include <array>

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
}  // namespace

uint32_t kbd_sys_key_char(uint32_t vk) {
    return vk < us_layout.size() ? us_layout[vk] : 0;
}
