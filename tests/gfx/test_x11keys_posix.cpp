// The X11 window's keys as the Windows path sees them: each key symbol's key
// code (with the character X types for it) and the key_state entry it holds.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include "console/io_input.h"
#include "gfx/x11/gfx_x11_keys.h"

TEST(X11Keys, KeySymbolsGiveTheWindowsKeyCodesAndScanCodes) {
    // key symbol, the character X types, key code, scan code
    const uint32_t cases[][4] = {
        {XK_Escape, 27, 27, 0x01},    {XK_Return, 13, 13, 0x1C},    {XK_a, 'a', 'a', 0x1E},
        {XK_Z, 'Z', 'Z', 0x2C},       {XK_5, '5', '5', 0x06},       {XK_Up, 0, 0x48FF, 0x48},
        {XK_Down, 0, 0x50FF, 0x50},   {XK_Left, 0, 0x4BFF, 0x4B},   {XK_Right, 0, 0x4DFF, 0x4D},
        {XK_Home, 0, 0x47FF, 0x47},   {XK_End, 0, 0x4FFF, 0x4F},    {XK_Prior, 0, 0x49FF, 0x49},
        {XK_Next, 0, 0x51FF, 0x51},   {XK_Insert, 0, 0x52FF, 0x52}, {XK_Delete, 0, 0x53FF, 0x53},
        {XK_F1, 0, 0x3BFF, 0x3B},     {XK_F10, 0, 0x44FF, 0x44},    {XK_KP_Up, 0, 0x48FF, 0x48},
        {XK_KP_End, 0, 0x4FFF, 0x4F}, {XK_KP_8, '8', '8', 0x48},    {XK_Shift_R, 0, 0, 0x36},
        {XK_Control_R, 0, 0, 0x1D},   {XK_space, ' ', ' ', 0x39},
    };
    for (const auto& [sym, ch, code, scan] : cases) {
        X11Key key{};
        ASSERT_TRUE(zq_hX11KeyOf(sym, &key)) << std::hex << sym;
        const int32_t state = key.enhanced ? KeyState::Enhanced : 0;
        const int32_t got =
            zq_hConsoleTranslateKey(static_cast<int32_t>(ch), key.scan, key.vk, state, 0);
        EXPECT_EQ(got < 0 ? 0 : got, static_cast<int32_t>(code)) << std::hex << sym;
        EXPECT_EQ(key.scan, scan) << std::hex << sym;
    }
    X11Key key{};
    EXPECT_FALSE(zq_hX11KeyOf(XK_Hangul, &key));
}
