// The print engine shared by every text output: it walks the bytes of a print,
// handles the control characters, gathers ordinary characters into runs and
// wraps them at the view's right edge. What a run looks like and how rows
// scroll is left to the two hooks of the print view.
#pragma once

#include <cstdint>

struct ConPrintView;

// Draws `count` characters at the view's cursor (they all fit on its row).
// Returns 1 to go on; anything else ends the current run early.
using ConWriteHook = int32_t (*)(ConPrintView* view, const char* text, int32_t count);
// Moves the rows top..bottom (cells, inclusive) of columns left..right up by
// `rows` rows, blanks the rows freed at the bottom, and sets the view's y to
// bottom.
using ConScrollHook = void (*)(ConPrintView* view, int32_t left, int32_t top, int32_t right,
                               int32_t bottom, int32_t rows);

// One print call's view of the text grid, 0-based cells. bottom = -1 is a
// view without a bottom: nothing ever scrolls.
struct ConPrintView {
    void* hook_data;
    ConScrollHook scroll;
    ConWriteHook write;
    int32_t left, top, right, bottom;
    int32_t x, y;  // the cursor, moved by the print
};

// A cursor left of the view or past its right edge (the cursor may be placed
// anywhere) is brought to the left edge; from past the right edge onto the
// next row, as if that row had been filled.
inline void zq_hConPrintFixCursor(ConPrintView* view) {
    if (view->x > view->right) {
        view->x = view->left;
        if (view->y < INT32_MAX) view->y += 1;
    } else if (view->x < view->left) {
        view->x = view->left;
    }
}

// Prints len bytes: 7 beeps, 8 moves one cell left (not past the left edge),
// 9 pads to the next multiple of 8 columns, 10 starts the next row (at the
// left edge when crlf is non-zero), 13 returns to the left edge; every other
// byte is drawn as its glyph. A row pushed below the bottom scrolls the view
// before the next write, so a print that ends exactly at the end of the
// bottom row leaves y = bottom + 1 for the caller to decide on.
void zq_ConPrintTTY(ConPrintView* view, const char* text, int32_t len, int32_t crlf);
// Writes count bytes as they stand, wrapping at the right edge. Returns 0 when
// the write hook asked to stop, else 1.
int32_t zq_ConPrintRaw(ConPrintView* view, const char* bytes, int32_t count);
