// The line editor behind the line-input statements. It knows the screen only
// through the hooked console operations: keys come from zq_Getkey, the echo
// goes through zq_PrintBufferEx and the cursor through zq_Locate, so the same
// editor serves the text console and a graphics screen.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "console/zq_console.h"

namespace {
constexpr int32_t kMaxLine = 4095;
constexpr int32_t kPrintEmpty = 0x8;

constexpr int32_t kBackspace = 8;
constexpr int32_t kEnter = 13;
constexpr int32_t kEscape = 27;
constexpr int32_t kKeyHome = 0x47FF;
constexpr int32_t kKeyLeft = 0x4BFF;
constexpr int32_t kKeyRight = 0x4DFF;
constexpr int32_t kKeyEnd = 0x4FFF;
constexpr int32_t kKeyInsert = 0x52FF;
constexpr int32_t kKeyDelete = 0x53FF;
constexpr int32_t kKeyClose = 0x6BFF;

// The line and where its first character sits on the screen. start_row
// follows the screen when printing scrolls it; it may go above the view.
struct Line {
    char text[kMaxLine + 1];
    int32_t len;
    int32_t pos;  // insertion point, 0..len
    bool insert;
    int32_t cols;
    int32_t start_col, start_row;  // 0-based
};

struct Cell {
    int32_t col, row;  // 0-based
};

Cell cell_of(const Line& line, int32_t index) {
    const int64_t linear = int64_t{line.start_col} + index;
    return {static_cast<int32_t>(linear % line.cols),
            static_cast<int32_t>(line.start_row + linear / line.cols)};
}

void view_rows(int32_t* top, int32_t* bottom) {
    zq_ConsoleGetView(top, bottom);
    *top -= 1;
    *bottom -= 1;
}

void locate(Cell c) {
    zq_Locate(c.row + 1, c.col + 1, -1, 0, 0);
}

// The cell after a line that filled the bottom row lies below the view: the
// print engine keeps the cursor waiting on the last cell until the next
// print. Printing that last character again puts it in that state.
void place_cursor(const Line& line, int32_t index) {
    int32_t top, bottom;
    view_rows(&top, &bottom);
    Cell c = cell_of(line, index);
    if (c.row > bottom && index > 0) {
        locate(cell_of(line, index - 1));
        zq_PrintBufferEx(line.text + index - 1, 1, 0);
        return;
    }
    if (c.row < top) c = {0, top};
    if (c.row > bottom) c.row = bottom;
    locate(c);
}

// The first index whose cell lies at or below the view's top row.
int32_t first_in_view(const Line& line) {
    int32_t top, bottom;
    view_rows(&top, &bottom);
    if (line.start_row >= top) return 0;
    const int64_t first = (int64_t{top} - line.start_row) * line.cols - line.start_col;
    return first < INT32_MAX ? static_cast<int32_t>(first) : INT32_MAX;
}

// Prints the line from index on, then `blanks` spaces over cells it no longer
// covers, and learns from where the cursor ended how far the screen scrolled.
// The part of the line scrolled out above the view is not drawn: the echo
// starts at the first cell in the view, in its own column.
void echo_from(Line& line, int32_t index, int32_t blanks) {
    const int32_t end = line.len + blanks;
    if (const int32_t first = first_in_view(line); index < first) index = first;
    if (index >= end) return place_cursor(line, line.pos);
    place_cursor(line, index);
    char spaces[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    if (index < line.len) zq_PrintBufferEx(line.text + index, line.len - index, 0);
    for (int32_t n = end - (index > line.len ? index : line.len); n > 0; n -= 8)
        zq_PrintBufferEx(spaces, n < 8 ? n : 8, 0);
    const Cell expected = cell_of(line, end);
    int32_t col = 0, row = 0;
    zq_GetXY(&col, &row);
    // Parked on the last cell of a full row: logically at the next row's start.
    if (expected.col == 0 && col == line.cols) row += 1;
    line.start_row += (row - 1) - expected.row;
    place_cursor(line, line.pos);
}

void insert_char(Line& line, char c) {
    if (line.insert || line.pos == line.len) {
        if (line.len == kMaxLine) return;
        std::memmove(line.text + line.pos + 1, line.text + line.pos,
                     static_cast<size_t>(line.len - line.pos));
        ++line.len;
    }
    line.text[line.pos] = c;
    const int32_t at = line.pos++;
    echo_from(line, at, 0);
}

void delete_at(Line& line, int32_t index) {
    std::memmove(line.text + index, line.text + index + 1,
                 static_cast<size_t>(line.len - index - 1));
    --line.len;
    echo_from(line, index, 1);
}

void move_to(Line& line, int32_t index) {
    line.pos = index;
    place_cursor(line, index);
}

// Handles one key; false when the line is finished.
bool edit(Line& line, int32_t key) {
    switch (key) {
        case kEnter:
            move_to(line, line.len);
            return false;
        case kBackspace:
            if (line.pos > 0) {
                --line.pos;
                delete_at(line, line.pos);
            }
            return true;
        case kKeyDelete:
            if (line.pos < line.len) delete_at(line, line.pos);
            return true;
        case kEscape: {
            const int32_t old_len = line.len;
            line.len = line.pos = 0;
            echo_from(line, 0, old_len);
            return true;
        }
        case kKeyLeft:
            if (line.pos > 0) move_to(line, line.pos - 1);
            return true;
        case kKeyRight:
            if (line.pos < line.len) move_to(line, line.pos + 1);
            return true;
        case kKeyHome:
            move_to(line, 0);
            return true;
        case kKeyEnd:
            move_to(line, line.len);
            return true;
        case kKeyInsert:
            line.insert = !line.insert;
            return true;
        default:
            // Other control characters and extended keys have no meaning here.
            if (key >= 32 && key <= 255) insert_char(line, static_cast<char>(key));
            return true;
    }
}

bool start(Line& line) {
    // A line left waiting by the last print starts now, so the first
    // character's cell is known.
    zq_PrintBufferEx(nullptr, 0, kPrintEmpty);
    int32_t col = 0, row = 0;
    zq_GetSize(&line.cols, nullptr);
    zq_GetXY(&col, &row);
    if (line.cols <= 0) return false;
    line.start_col = col > 0 && col <= line.cols ? col - 1 : 0;
    line.start_row = row > 0 ? row - 1 : 0;
    line.insert = true;
    return true;
}
}  // namespace

ZqString* zq_ConReadLine() {
    auto* line = static_cast<Line*>(std::calloc(1, sizeof(Line)));
    if (!line || !start(*line)) {
        std::free(line);
        return nullptr;
    }
    ZqString* result = nullptr;
    for (;;) {
        const int32_t key = zq_Getkey();
        // No key: the screen that was read from is gone.
        if (key <= 0 || key == kKeyClose) break;
        if (edit(*line, key)) continue;
        result = zq_StrAllocTemp(line->len);
        if (result) std::memcpy(result->data, line->text, static_cast<size_t>(line->len));
        break;
    }
    std::free(line);
    return result;
}
