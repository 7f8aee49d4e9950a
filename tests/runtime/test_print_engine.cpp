// The print engine on its own, with hooks that record what they are asked:
// runs cut at control characters and at the right edge, scrolls, and a view
// without a bottom.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/con_print.h"

namespace {
struct Log {
    std::vector<std::string> writes;  // "x,y:text"
    std::vector<int> scrolls;
};

int32_t record_write(ConPrintView* v, const char* text, int32_t count) {
    auto* log = static_cast<Log*>(v->hook_data);
    log->writes.push_back(std::to_string(v->x) + "," + std::to_string(v->y) + ":" +
                          std::string(text, static_cast<size_t>(count)));
    return 1;
}

void record_scroll(ConPrintView* v, int32_t, int32_t, int32_t, int32_t bottom, int32_t rows) {
    static_cast<Log*>(v->hook_data)->scrolls.push_back(rows);
    v->y = bottom;
}

ConPrintView view_of(Log* log, int32_t bottom) {
    return ConPrintView{log, record_scroll, record_write, 2, 0, 11, bottom, 2, 0};  // 10 columns
}

TEST(PrintEngine, RunsAndScrolls) {
    struct Case {
        int32_t bottom;
        std::string text;
        std::vector<std::string> writes;
        std::vector<int> scrolls;
        int32_t x, y;
    };
    const Case cases[] = {
        {3, "ab\bc\rd", {"2,0:ab", "3,0:c", "2,0:d"}, {}, 3, 0},
        {3, "0123456789ab", {"2,0:0123456789", "2,1:ab"}, {}, 4, 1},
        {3, "a\tb", {"2,0:a       b"}, {}, 11, 0},
        {1, "a\n\n\n", {"2,0:a"}, {2}, 2, 1},
        {1, "0123456789012345678901", {"2,0:0123456789", "2,1:0123456789", "2,1:01"}, {1}, 4, 1},
        {-1, "a\n\n\nb", {"2,0:a", "2,3:b"}, {}, 3, 3},  // no bottom: nothing scrolls
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Log log;
        ConPrintView v = view_of(&log, c.bottom);
        zq_ConPrintTTY(&v, c.text.data(), static_cast<int32_t>(c.text.size()), 1);
        EXPECT_EQ(log.writes, c.writes);
        EXPECT_EQ(log.scrolls, c.scrolls);
        EXPECT_EQ(v.x, c.x);
        EXPECT_EQ(v.y, c.y);
    }
}

}  // namespace
