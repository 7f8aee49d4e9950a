// The raw string reader: keys are stored and echoed until Enter, with a block
// cursor drawn at the insertion point.
#include "gfx/gfx_internal.h"

namespace {
constexpr char kCursor[] = "\xDB";        // the full block
constexpr char kEraseCursor[] = "\xDB ";  // block onto the erased cell, old block blanked
constexpr char kBlank[] = " ";
constexpr int32_t kBell = 7;
constexpr int32_t kBackspace = 8;
constexpr int32_t kEnter = 13;

// One cell back, to the end of the row above from the left edge. A pending
// line means the cursor is parked on the cell it printed last, so going back
// only ends the wait.
void move_back() {
    GfxState* s = __zq_gfx;
    // A screen too small for one text cell prints nothing to step back over.
    if (s->text_cols <= 0 || s->text_rows <= 0) return;
    if (s->flags & SCREEN_TEXT_PENDING) {
        s->flags &= ~SCREEN_TEXT_PENDING;
        return;
    }
    if (--s->cursor_x < 0) {
        s->cursor_y -= 1;
        s->cursor_x = s->text_cols - 1;
    }
}

void show_cursor() {
    zq_GfxPrintBuffer(kCursor, 0);
    move_back();
}

void erase_last() {
    move_back();
    GfxState* s = __zq_gfx;
    if (s->cursor_y < 0) {
        zq_GfxLocateRaw(0, 0, -1);
        show_cursor();
        return;
    }
    zq_GfxPrintBuffer(kEraseCursor, 0);
    move_back();
    move_back();
}
}  // namespace

char* zq_GfxReadStr(char* buffer, int32_t max_len) {
    if (!__zq_gfx || !buffer || max_len < 1) return nullptr;
    int32_t n = 0;
    show_cursor();
    for (;;) {
        const int32_t k = zq_Getkey();
        // No key at all means the screen went away while waiting.
        if (k <= 0 || !__zq_gfx) break;
        if (k > 255 || k == kBell) {
            show_cursor();
        } else if (k == kBackspace) {
            if (n == 0) {
                show_cursor();
                continue;
            }
            --n;
            erase_last();
        } else if (n >= max_len - 1) {
            if (k == kEnter) break;
        } else if (k == kEnter) {
            zq_GfxPrintBuffer(kBlank, 0);
            move_back();
            buffer[n++] = kEnter;
            const char cr[2] = {kEnter, 0};
            zq_GfxPrintBuffer(cr, 0);
            break;
        } else {
            buffer[n++] = static_cast<char>(k);
            const char echo[2] = {static_cast<char>(k), 0};
            zq_GfxPrintBuffer(echo, 0);
            show_cursor();
        }
    }
    buffer[n] = '\0';
    return buffer;
}
