// Printing on the graphics screen: the print view over the text grid, the two
// hooks that draw runs of glyphs and scroll rows for the print engine, and the
// text cursor.
#include <algorithm>
#include <cstring>

#include "console/con_print.h"
#include "gfx/gfx_internal.h"

namespace {
constexpr int32_t kPrintEmpty = 0x8;  // run even without text, to apply a pending line
constexpr uint32_t kOpaque = 0xFF000000;

// What the hooks share during one print: the context drawn on and the pixel
// lines touched so far (first inclusive, end exclusive; empty while equal).
struct GfxPrintData {
    GfxContext* ctx;
    int32_t first, end;
};

GfxPrintData* data_of(ConPrintView* view) {
    return static_cast<GfxPrintData*>(view->hook_data);
}

void touch_lines(GfxPrintData* d, int32_t first, int32_t end) {
    if (d->first == d->end) {
        d->first = first;
        d->end = end;
        return;
    }
    d->first = std::min(d->first, first);
    d->end = std::max(d->end, end);
}

// Every pixel of the cell is written: the background is never transparent.
void draw_glyph(GfxContext* ctx, const FontDesc* font, uint8_t c, int32_t x0, int32_t y0) {
    const int32_t w = font->width, h = font->height, row_bytes = (w + 7) / 8;
    const uint8_t* row = font->data + static_cast<ptrdiff_t>(c) * h * row_bytes;
    const PutPixelFn put = ctx->put_pixel;
    const uint32_t fg = ctx->fg_color, bg = ctx->bg_color;
    for (int32_t r = 0; r < h; ++r, row += row_bytes) {
        for (int32_t px = 0; px < w; ++px) {
            const bool on = (row[px >> 3] >> (px & 7)) & 1;
            put(ctx, x0 + px, y0 + r, on ? fg : bg);
        }
    }
}

CharCell* page_cells(const GfxContext* ctx) {
    const GfxState* s = __zq_gfx;
    if (!s->char_cells || ctx->work_page < 0 || ctx->work_page >= s->page_count) return nullptr;
    return s->char_cells[ctx->work_page];
}

// Text rows whose glyphs fit in the framebuffer.
int32_t drawable_rows(const GfxState* s) {
    return std::min(s->text_rows, s->height / s->font->height);
}
int32_t drawable_cols(const GfxState* s) {
    return std::min(s->text_cols, s->width / s->font->width);
}

void scroll_pixels(GfxPrintData* d, int32_t left, int32_t top, int32_t right, int32_t bottom,
                   int32_t rows) {
    GfxContext* ctx = d->ctx;
    const GfxState* s = __zq_gfx;
    const int32_t w = s->font->width, h = s->font->height;
    const int32_t g = top * h, m = (bottom + 1) * h;
    const auto pixels = static_cast<size_t>((right - left + 1) * w);
    const int64_t n = int64_t{rows} * h;
    if (n < m - g) {
        const auto shift = static_cast<int32_t>(n);
        for (int32_t line = g + shift; line < m; ++line)
            zq_hPixelCpy(ctx->line[line - shift], ctx->line[line], pixels);
        for (int32_t line = m - shift; line < m; ++line)
            ctx->pixel_set(ctx->line[line], static_cast<int>(ctx->bg_color), pixels);
    } else {
        for (int32_t line = g; line < m; ++line)
            ctx->pixel_set(ctx->line[line], static_cast<int>(ctx->bg_color), pixels);
    }
    touch_lines(d, g, m);
}

void scroll_cells(const GfxContext* ctx, int32_t left, int32_t top, int32_t right, int32_t bottom,
                  int32_t rows) {
    const GfxState* s = __zq_gfx;
    CharCell* cells = page_cells(ctx);
    if (!cells) return;
    const auto cols = static_cast<size_t>(right - left + 1);
    int32_t cleared_from = top;
    if (rows < bottom - top + 1) {
        for (int32_t y = top; y + rows <= bottom; ++y) {
            CharCell* to = cells + static_cast<ptrdiff_t>(y) * s->text_cols + left;
            std::memmove(to, to + static_cast<ptrdiff_t>(rows) * s->text_cols,
                         cols * sizeof(CharCell));
        }
        cleared_from = bottom - rows + 1;
    }
    zq_hClearCharCells(left, cleared_from, right + 1, bottom + 1, ctx->work_page, 32, ctx->fg_color,
                       ctx->bg_color);
}

void scroll(ConPrintView* view, int32_t rows) {
    view->scroll(view, view->left, view->top, view->right, view->bottom, rows);
}

// The text view in 0-based cells, cut to the rows and columns that can be
// drawn; false when nothing is left of it.
bool make_view(ConPrintView* view, GfxPrintData* data) {
    const GfxState* s = __zq_gfx;
    int32_t top = 0, bottom = 0;
    zq_ConsoleGetView(&top, &bottom);
    view->hook_data = data;
    view->scroll = zq_hHookConScroll;
    view->write = zq_hHookConWrite;
    view->left = 0;
    view->top = std::max(top - 1, 0);
    view->right = drawable_cols(s) - 1;
    view->bottom = std::min(bottom - 1, drawable_rows(s) - 1);
    view->x = s->cursor_x;
    // A row further below than the view is high scrolls the whole view out,
    // as the row just below it would.
    const int32_t lowest = view->bottom + (view->bottom - view->top + 1);
    view->y = std::min(s->cursor_y, lowest);
    // A column beyond the right edge leaves no room on its row: the print
    // starts on the next row, as after a wrap, so the cursor ends on the grid.
    if (view->x > view->right) {
        view->x = view->left;
        view->y += 1;
    }
    return view->right >= view->left && view->bottom >= view->top;
}

void apply_pending_line(GfxState* s, ConPrintView* view) {
    if (!(s->flags & SCREEN_TEXT_PENDING)) return;
    s->flags &= ~SCREEN_TEXT_PENDING;
    view->y += 1;
    view->x = view->left;
    if (view->y > view->bottom) scroll(view, view->y - view->bottom);
}

// A print that filled the bottom row exactly does not scroll yet: the cursor
// waits on the last cell until something else is printed.
void end_line(GfxState* s, ConPrintView* view) {
    if (view->x == view->left && view->y == view->bottom + 1) {
        s->flags |= SCREEN_TEXT_PENDING;
        view->x = view->right;
        view->y = view->bottom;
    } else if (view->y > view->bottom) {
        scroll(view, view->y - view->bottom);
    }
}
}  // namespace

int32_t zq_hHookConWrite(ConPrintView* view, const char* text, int32_t count) {
    GfxPrintData* d = data_of(view);
    GfxContext* ctx = d->ctx;
    const GfxState* s = __zq_gfx;
    const int32_t y = view->y, x = view->x;
    // The cursor may have been placed anywhere; only cells of the grid that
    // lie in the framebuffer are drawn and recorded.
    if (y < 0 || y >= drawable_rows(s) || x < 0) return 1;
    const int32_t n = std::min(count, drawable_cols(s) - x);
    if (n <= 0) return 1;
    const int32_t w = s->font->width, h = s->font->height, py = y * h;
    for (int32_t i = 0; i < n; ++i)
        draw_glyph(ctx, s->font, static_cast<uint8_t>(text[i]), (x + i) * w, py);
    touch_lines(d, py, py + h);
    if (CharCell* cells = page_cells(ctx)) {
        CharCell* cell = cells + static_cast<ptrdiff_t>(y) * s->text_cols + x;
        for (int32_t i = 0; i < n; ++i)
            cell[i] = CharCell{static_cast<uint8_t>(text[i]), ctx->fg_color, ctx->bg_color};
    }
    return 1;
}

void zq_hHookConScroll(ConPrintView* view, int32_t left, int32_t top, int32_t right, int32_t bottom,
                       int32_t rows) {
    if (rows > 0) {
        GfxPrintData* d = data_of(view);
        scroll_pixels(d, left, top, right, bottom, rows);
        scroll_cells(d->ctx, left, top, right, bottom, rows);
    }
    view->y = bottom;
}

int32_t zq_GfxPrintBufferEx(const char* text, int32_t len, int32_t mask) {
    GfxState* s = __zq_gfx;
    if (!s) return 0;
    if (!text || len < 0) len = 0;
    if (len == 0 && !(mask & kPrintEmpty)) return 0;
    GfxContext* ctx = zq_hGetContext();
    zq_hPrepareTarget(ctx, nullptr, kOpaque);
    zq_hGfxLock();
    GfxPrintData data{ctx, 0, 0};
    ConPrintView view{};
    if (make_view(&view, &data)) {
        apply_pending_line(s, &view);
        zq_ConPrintTTY(&view, text, len, 1);
        end_line(s, &view);
        zq_GfxLocateRaw(view.y, view.x, -1);
        if (data.first != data.end) zq_hMarkDirtyRows(ctx, data.first, data.end - 1);
    }
    zq_hGfxUnlock();
    return 0;
}

int32_t zq_GfxPrintBuffer(const char* text, int32_t mask) {
    return zq_GfxPrintBufferEx(text, text ? static_cast<int32_t>(std::strlen(text)) : 0, mask);
}

// ---- The text cursor ----

int32_t zq_GfxLocateRaw(int32_t row, int32_t col, int32_t) {
    GfxState* s = __zq_gfx;
    if (!s) return 0;
    if (col >= 0) s->cursor_x = col;
    if (row >= 0) s->cursor_y = row;
    return ((s->cursor_y & 0xFF) << 8) | (s->cursor_x & 0xFF);
}

int32_t zq_GfxLocate(int32_t row, int32_t col, int32_t cursor) {
    GfxState* s = __zq_gfx;
    if (!s) return 0;
    s->flags &= ~SCREEN_TEXT_PENDING;
    int32_t r = zq_GfxLocateRaw(row > 0 ? row - 1 : -1, col > 0 ? col - 1 : -1, cursor);
    zq_SetPos(s->cursor_x);
    return r + 0x101;
}

namespace {
// The raw cursor may hold any value; the 1-based one saturates.
int32_t one_based(int32_t v) {
    return v < INT32_MAX ? v + 1 : INT32_MAX;
}
}  // namespace

int32_t zq_GfxGetX() {
    return __zq_gfx ? one_based(__zq_gfx->cursor_x) : 0;
}
int32_t zq_GfxGetY() {
    return __zq_gfx ? one_based(__zq_gfx->cursor_y) : 0;
}

void zq_GfxGetXY(int32_t* col, int32_t* row) {
    if (col) *col = zq_GfxGetX();
    if (row) *row = zq_GfxGetY();
}

void zq_GfxGetSize(int32_t* cols, int32_t* rows) {
    GfxState* s = __zq_gfx;
    if (cols) *cols = s ? s->text_cols : 0;
    if (rows) *rows = s ? s->text_rows : 0;
}
