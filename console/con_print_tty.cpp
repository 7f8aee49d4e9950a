#include "console/con_print.h"
#include "runtime/zq_rt.h"

namespace {
constexpr int32_t kRunSize = 256;

// The characters not yet written, and where the cursor will be once they are
// (following the wrap that zq_ConPrintRaw performs).
struct Run {
    ConPrintView* view;
    char bytes[kRunSize];
    int32_t count;
    int32_t cx, cy;
    // A control byte moved the cursor since the last write: only such a move
    // scrolls at the end of the print, so a row filled to its end stays
    // pending after a carriage return that leaves the cursor where it was.
    bool moved;
};

void flush(Run& run) {
    if (run.count == 0) return;
    zq_ConPrintRaw(run.view, run.bytes, run.count);
    run.count = 0;
    run.moved = false;
}

void add(Run& run, char c) {
    if (run.count == kRunSize) flush(run);
    run.bytes[run.count++] = c;
    const ConPrintView* v = run.view;
    if (++run.cx > v->right) {
        int32_t width = v->right - v->left + 1;
        run.cy += (run.cx - v->left) / width;
        run.cx = (run.cx - v->left) % width + v->left;
    }
}

// Writes the run, then moves the cursor by (dx, dy) cells.
void cut_and_move(Run& run, int32_t dx, int32_t dy) {
    flush(run);
    ConPrintView* v = run.view;
    v->x += dx;
    v->y += dy;
    run.cx = v->x;
    run.cy = v->y;
    if (dx != 0 || dy != 0) run.moved = true;
}
}  // namespace

void zq_ConPrintTTY(ConPrintView* view, const char* text, int32_t len, int32_t crlf) {
    zq_hConPrintFixCursor(view);
    Run run{view, {}, 0, view->x, view->y, false};
    for (int32_t i = 0; i < len; ++i) {
        char c = text[i];
        switch (c) {
            case 7:
                zq_Beep();
                break;
            case 8:
                cut_and_move(run, run.cx > view->left ? -1 : 0, 0);
                break;
            case 9: {
                int32_t col = run.cx - view->left;
                for (int32_t n = ((col + 8) & ~7) - col; n > 0; --n) add(run, ' ');
                break;
            }
            case 10:
                cut_and_move(run, crlf ? view->left - run.cx : 0, 1);
                break;
            case 13:
                cut_and_move(run, view->left - run.cx, 0);
                break;
            default:
                add(run, c);
                break;
        }
    }
    if (run.count > 0) {
        flush(run);
    } else if (run.moved && view->bottom != -1 && view->y > view->bottom) {
        view->scroll(view, view->left, view->top, view->right, view->bottom,
                     view->y - view->bottom);
    }
}
