// A sample page of text for the 640 x 480 screen with the 8 x 16 font (80 x 30
// cells): two lines, one with a tab, a coloured run, a line that wraps, all
// the glyphs above 127, and enough numbered lines to scroll by one row. The
// print test checks it cell by cell; the end-to-end text test shows it in a
// window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/gfx_internal.h"

namespace print_sample {
inline constexpr uint32_t kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;
inline constexpr int32_t kRedFg = 0x00FF0000, kBlueBg = 0x000000FF;
inline constexpr int kNumberedLines = 23;  // the last one scrolls the first line out

inline std::string bytes(int first, int last) {
    std::string s;
    for (int c = first; c <= last; ++c) s += static_cast<char>(c);
    return s;
}

inline std::string two_digits(int n) {
    return std::string{static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}

// The glyphs above 127 and the two control codes the print engine draws.
inline std::string high_glyphs() {
    return bytes(128, 255) + "\x0b\x0c";
}

inline void put(std::string_view text) {
    zq_PrintBufferEx(text.data(), static_cast<int32_t>(text.size()), 0);
}

inline void print_page() {
    put("gone\nTab\tstop\n");
    zq_GfxColor(kRedFg, kBlueBg, 0);
    put("RED");
    zq_GfxColor(static_cast<int32_t>(kWhite), static_cast<int32_t>(kBlack), 0);
    put(" plain\n");
    put(bytes(32, 127) + "\n");  // wraps after 80
    put(high_glyphs() + "\n");
    for (int i = 0; i < kNumberedLines; ++i) put("Line " + two_digits(i) + "\n");
    put("end");
}
}  // namespace print_sample
