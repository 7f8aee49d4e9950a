// A sample page of text for the 640 x 480 screen with the 8 x 16 font (80 x 30
// cells): a tab, a coloured run, a line that wraps, all the glyphs above 127,
// and enough numbered lines to scroll the first line out. The end-to-end text
// test shows it in a window and compares with the host's drawing of it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/gfx_internal.h"

namespace print_sample {
inline void put(std::string_view text) {
    zq_PrintBufferEx(text.data(), static_cast<int32_t>(text.size()), 0);
}

inline void print_page() {
    put("gone\nTab\tstop\n");
    zq_GfxColor(0x00FF0000, 0x000000FF, 0);  // red on blue
    put("RED");
    zq_GfxColor(static_cast<int32_t>(0xFFFFFFFF), static_cast<int32_t>(0xFF000000), 0);
    std::string text = " plain\n";
    for (int c = 32; c <= 255; ++c) text += static_cast<char>(c);
    text.insert(text.size() - 128, "\n");  // wraps after 80
    put(text + "\x0b\x0c\n");              // and the two control codes drawn as glyphs
    for (int i = 0; i < 23; ++i) put("Line " + std::to_string(100 + i).substr(1) + "\n");
    put("end");
}
}  // namespace print_sample
