// Key strokes to key codes, with the host's fixed US layout standing in for
// the system's.
#include <gtest/gtest.h>

#include "console/io_input.h"

namespace {
using namespace KeyState;
constexpr int32_t None = 0;

struct Stroke {
    const char* what;
    int32_t ascii, scan, vk, state, extended_only;
    int32_t expected;
};

constexpr Stroke kStrokes[] = {
    {"F1", 0, 0x3B, Vk::F1, None, 0, 0x3BFF},
    {"Shift+F1", 0, 0x3B, Vk::F1, Shift, 0, 0x54FF},
    {"Alt+F1", 0, 0x3B, Vk::F1, LeftAlt, 0, 0x68FF},
    {"Alt+F4 is the close key", 0, 0x3E, Vk::F1 + 3, LeftAlt, 0, ZQ_KEY_CLOSE},
    {"Alt wins over Ctrl and Shift", 0, 0x3B, Vk::F1, LeftAlt | LeftCtrl | Shift, 0, 0x68FF},
    {"Shift+F12", 0, 0x58, Vk::F12, Shift, 0, 0x88FF},
    {"grey Up", 0, 0x48, Vk::Up, Enhanced, 0, 0x48FF},
    {"Ctrl+grey Up", 0, 0x48, Vk::Up, Enhanced | LeftCtrl, 0, 0x8DFF},
    {"Alt+grey Enter", 0, 0x1C, Vk::Return, Enhanced | RightAlt, 0, 0xA6FF},
    {"grey Enter types its character", 0x0D, 0x1C, Vk::Return, Enhanced, 0, 0x0D},
    {"Ctrl+pad 5", 0, 0x4C, 0x0C, LeftCtrl, 0, 0x8FFF},
    {"pad 8 with Num Lock", '8', 0x48, Vk::Numpad0 + 8, None, 0, '8'},
    {"a", 'a', 0x1E, 'A', None, 0, 'a'},
    {"Ctrl+a types its control character", 0x01, 0x1E, 'A', LeftCtrl, 0, 0x01},
    {"Alt+a", 'a', 0x1E, 'A', LeftAlt, 0, 0x1EFF},
    {"Alt+a, extended only", 'a', 0x1E, 'A', LeftAlt, 1, 0x1EFF},
    {"a, extended only", 'a', 0x1E, 'A', None, 1, -1},
    {"Shift+Tab", 0x09, 0x0F, Vk::Tab, Shift, 0, 0x0FFF},
    {"Shift alone", 0, 0x2A, Vk::Shift, Shift, 0, -1},
    {"scan above the table, a character", 0xE9, 0x70, 0x15, None, 0, 0xE9},
    {"enhanced key without a row (Windows key)", 0, 0x5B, Vk::LWin, Enhanced, 0, -1},
    {"only the low byte of the character", 0x161, 0x1E, 'A', None, 0, 'a'},
    {"a signed character byte", -23, 0x70, 0x15, None, 0, 0xE9},
    {"only the low 16 bits of scan and vk", 0, 0x7003B, 0x50070, None, 0, 0x3BFF},
};

TEST(KeyTranslation, StrokesGiveTheirKeyCodes) {
    for (const Stroke& s : kStrokes) {
        EXPECT_EQ(zq_hConsoleTranslateKey(s.ascii, s.scan, s.vk, s.state, s.extended_only),
                  s.expected)
            << s.what;
    }
}

TEST(KeyTranslation, VirtualKeysGiveTheirScanCodes) {
    // Both keys of a row (pad 7 and Home), the second Shift row, out of range codes.
    const int32_t cases[][2] = {{Vk::Shift, 0x2A}, {Vk::Numpad0 + 7, 0x47},
                                {Vk::Home, 0x47},  {Vk::Subtract, 0x0C},
                                {Vk::Pause, 0},    {-1, 0},
                                {0x141, 0}};
    for (const auto& c : cases) EXPECT_EQ(zq_hVirtualToScancode(c[0]), c[1]) << c[0];
}
}  // namespace
