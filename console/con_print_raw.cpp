#include "console/con_print.h"

namespace {
void scroll_into_view(ConPrintView* view) {
    if (view->bottom != -1 && view->y > view->bottom) {
        view->scroll(view, view->left, view->top, view->right, view->bottom,
                     view->y - view->bottom);
    }
}
}  // namespace

int32_t zq_ConPrintRaw(ConPrintView* view, const char* bytes, int32_t count) {
    while (count > 0) {
        zq_hConPrintFixCursor(view);
        scroll_into_view(view);
        int32_t room = view->right - view->x + 1;
        int32_t n = room < count ? room : count;
        if (view->write(view, bytes, n) != 1) return 0;
        bytes += n;
        count -= n;
        view->x += n;
        if (view->x == view->right + 1) {
            view->x = view->left;
            view->y += 1;
        }
    }
    return 1;
}
