// The text the tests expect on the graphics screen, and checks of the
// framebuffer and the text cells against it. The expected pixels come
// straight from the font data, one glyph per cell.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/gfx_internal.h"

class TextModel {
   public:
    // The whole grid of the open screen, blank in the context's colours.
    TextModel() {
        const GfxContext* ctx = zq_hGetContext();
        cols_ = __zq_gfx->text_cols;
        rows_ = __zq_gfx->text_rows;
        cells_.assign(static_cast<size_t>(cols_ * rows_),
                      CharCell{' ', ctx->fg_color, ctx->bg_color});
    }
    // Text from (col, row), wrapping to the next rows, in the context's
    // colours at the time of the call or in the given ones.
    void put(int col, int row, std::string_view text, uint32_t fg = zq_hGetContext()->fg_color,
             uint32_t bg = zq_hGetContext()->bg_color) {
        for (size_t i = 0; i < text.size(); ++i) {
            const int at = row * cols_ + col + static_cast<int>(i);
            cells_.at(static_cast<size_t>(at)) = CharCell{static_cast<uint8_t>(text[i]), fg, bg};
        }
    }
    const CharCell& at(int col, int row) const {
        return cells_.at(static_cast<size_t>(row * cols_ + col));
    }
    int cols() const { return cols_; }
    int rows() const { return rows_; }

   private:
    int cols_ = 0, rows_ = 0;
    std::vector<CharCell> cells_;
};

// The text cells, then every pixel of every cell: the glyph's set bits in the
// cell's foreground, the rest in its background.
inline testing::AssertionResult cells_hold(const TextModel& m) {
    const CharCell* cells = __zq_gfx->char_cells[zq_hGetContext()->work_page];
    for (int i = 0; i < m.cols() * m.rows(); ++i) {
        const CharCell &want = m.at(i % m.cols(), i / m.cols()), &got = cells[i];
        if (got.ch != want.ch || got.fg != want.fg || got.bg != want.bg)
            return testing::AssertionFailure()
                   << "cell " << i << ": " << got.ch << std::hex << " " << got.fg << "/" << got.bg
                   << " instead of " << want.ch << " " << want.fg << "/" << want.bg;
    }
    return testing::AssertionSuccess();
}

inline testing::AssertionResult shows(const TextModel& m) {
    if (testing::AssertionResult r = cells_hold(m); !r) return r;
    const GfxState& s = *__zq_gfx;
    const FontDesc& f = *s.font;
    for (int i = 0; i < m.cols() * m.rows(); ++i) {
        const int col = i % m.cols(), row = i / m.cols();
        const CharCell& c = m.at(col, row);
        for (int y = 0; y < f.height; ++y) {
            for (int x = 0; x < f.width; ++x) {
                const uint32_t want = (f.data[c.ch * f.height + y] >> x) & 1 ? c.fg : c.bg;
                uint32_t got = 0;
                std::memcpy(
                    &got,
                    s.framebuffer + (row * f.height + y) * s.pitch + (col * f.width + x) * s.bpp,
                    static_cast<size_t>(s.bpp));
                if (got != want)
                    return testing::AssertionFailure() << "cell (" << col << ", " << row
                                                       << ") pixel (" << x << ", " << y << ")";
            }
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
