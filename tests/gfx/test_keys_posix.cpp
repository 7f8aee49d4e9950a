// Keys and typed characters against other tables: the X11 window's key symbols
// against the console's, code page conversion against the host's iconv.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <iconv.h>

#include "console/io_input.h"
#include "gfx/x11/gfx_x11_keys.h"
#include "runtime/intl.h"

// A key's code is the character X types for it, else its scan's extended code
// (-1: a modifier, none); its scan code is that of its virtual key's row, but
// for right Shift, which shares the left one's virtual key.
TEST(X11Keys, KeySymbolsGiveTheWindowsKeyCodesAndScanCodes) {
    // key symbol, the character X types
    const int32_t cases[][2] = {
        {XK_Escape, 27}, {XK_Return, 13},  {XK_a, 'a'},       {XK_Z, 'Z'},    {XK_5, '5'},
        {XK_Up, 0},      {XK_Down, 0},     {XK_Left, 0},      {XK_Right, 0},  {XK_Home, 0},
        {XK_End, 0},     {XK_Prior, 0},    {XK_Next, 0},      {XK_Insert, 0}, {XK_Delete, 0},
        {XK_F1, 0},      {XK_F10, 0},      {XK_KP_Up, 0},     {XK_KP_End, 0}, {XK_KP_8, '8'},
        {XK_space, ' '}, {XK_Shift_R, -1}, {XK_Control_R, -1}};
    for (const auto& [sym, ch] : cases) {
        X11Key key{};
        ASSERT_TRUE(zq_hX11KeyOf(static_cast<uint32_t>(sym), &key)) << std::hex << sym;
        const int32_t scan = sym == XK_Shift_R ? 0x36 : zq_hVirtualToScancode(key.vk);
        const int32_t state = key.enhanced ? KeyState::Enhanced : 0;
        EXPECT_EQ(zq_hConsoleTranslateKey(ch < 0 ? 0 : ch, key.scan, key.vk, state, 0),
                  ch ? ch : scan << 8 | 0xFF)
            << std::hex << sym;
        EXPECT_EQ(key.scan, scan) << std::hex << sym;
    }
    X11Key key{};
    EXPECT_FALSE(zq_hX11KeyOf(XK_Hangul, &key));
}

// Typed characters come in the system's ANSI code page (1252 here) and are
// drawn in code page 437: what 437 lacks becomes '?'.
TEST(TypedCharacters, AnsiBecomesCodePage437AsIconvConvertsIt) {
    iconv_t to437 = iconv_open("CP437", "CP1252");
    ASSERT_NE(to437, reinterpret_cast<iconv_t>(-1));
    for (int c = 0x80; c <= 0xFF; ++c) {
        char in = static_cast<char>(c), ch = in, want = '?', *from = &in, *to = &want;
        size_t in_left = 1, out_left = 1;
        iconv(to437, &from, &in_left, &to, &out_left);  // a refusal leaves '?'
        EXPECT_EQ(zq_hIntlConvertString(&ch, 1, ZQ_CP_1252, ZQ_CP_437), 0);
        EXPECT_EQ(ch, want) << std::hex << c;
    }
    iconv_close(to437);
}
