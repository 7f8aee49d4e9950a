// The text the tests expect on the graphics screen, checked against the text
// cells and every pixel of the framebuffer, drawn straight from the font data.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/gfx_internal.h"

// The whole grid of the open screen, blank in the context's colours; put()
// writes text from (col, row) on, wrapping, in the current or given colours.
struct TextModel {
    int cols = __zq_gfx->text_cols, rows = __zq_gfx->text_rows;
    std::vector<CharCell> cells = std::vector<CharCell>(
        static_cast<size_t>(cols * rows),
        CharCell{' ', zq_hGetContext()->fg_color, zq_hGetContext()->bg_color});

    void put(int col, int row, std::string_view text, uint32_t fg = zq_hGetContext()->fg_color,
             uint32_t bg = zq_hGetContext()->bg_color) {
        for (size_t i = 0; i < text.size(); ++i)
            cells.at(row * cols + col + i) = CharCell{static_cast<uint8_t>(text[i]), fg, bg};
    }
};

// The cells, then each cell's pixels: the glyph's set bits in its foreground,
// the rest in its background.
inline testing::AssertionResult shows(const TextModel& m) {
    const GfxState& s = *__zq_gfx;
    const CharCell* cells = s.char_cells[zq_hGetContext()->work_page];
    const FontDesc& f = *s.font;
    for (int i = 0; i < m.cols * m.rows; ++i) {
        const CharCell &want = m.cells[i], &got = cells[i];
        if (got.ch != want.ch || got.fg != want.fg || got.bg != want.bg)
            return testing::AssertionFailure()
                   << "cell " << i << ": " << got.ch << std::hex << " " << got.fg << "/" << got.bg
                   << " instead of " << want.ch << " " << want.fg << "/" << want.bg;
        for (int p = 0; p < f.height * f.width; ++p) {
            const int x = p % f.width, y = p / f.width;
            const uint32_t color = (f.data[want.ch * f.height + y] >> x) & 1 ? want.fg : want.bg;
            uint32_t pixel = 0;
            std::memcpy(&pixel,
                        s.framebuffer + ((i / m.cols) * f.height + y) * s.pitch +
                            ((i % m.cols) * f.width + x) * s.bpp,
                        static_cast<size_t>(s.bpp));
            if (pixel != color)
                return testing::AssertionFailure() << "cell " << i << " pixel " << p;
        }
    }
    return testing::AssertionSuccess();
}

inline void print(std::string_view text) {
    zq_PrintBufferEx(text.data(), static_cast<int32_t>(text.size()), 0);
}
inline std::pair<int, int> text_cursor() {
    return {__zq_gfx->cursor_x, __zq_gfx->cursor_y};
}
inline bool line_pending() {
    return (__zq_gfx->flags & SCREEN_TEXT_PENDING) != 0;
}
