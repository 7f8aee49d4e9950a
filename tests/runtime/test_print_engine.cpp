// The print engine on its own, with hooks that record what they are asked:
// runs cut at control characters and at the right edge, the 256-byte run
// limit, a view without a bottom, and a write hook that stops the print.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/con_print.h"

namespace {
struct Log {
    std::vector<std::string> writes;  // "x,y:text"
    std::vector<int> scrolls;
    int stop_after = -1;  // write calls answered 1 before answering 0
};

int32_t record_write(ConPrintView* v, const char* text, int32_t count) {
    auto* log = static_cast<Log*>(v->hook_data);
    log->writes.push_back(std::to_string(v->x) + "," + std::to_string(v->y) + ":" +
                          std::string(text, static_cast<size_t>(count)));
    return log->stop_after < 0 || static_cast<int>(log->writes.size()) <= log->stop_after ? 1 : 0;
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

TEST(PrintEngine, LongTextGoesOutInRunsOf256) {
    Log log;
    ConPrintView v{&log, record_scroll, record_write, 0, 0, 999, 9, 0, 0};
    const std::string text(600, 'q');
    zq_ConPrintTTY(&v, text.data(), 600, 1);
    ASSERT_EQ(log.writes.size(), 3u);
    EXPECT_EQ(log.writes[1].substr(0, 6), "256,0:");
    EXPECT_EQ(log.writes[2], "512,0:" + std::string(88, 'q'));
}

TEST(PrintEngine, WriteHookCanStopARun) {
    Log log;
    log.stop_after = 1;
    ConPrintView v = view_of(&log, 3);
    zq_ConPrintRaw(&v, "0123456789abcdefghijKLM", 23);
    EXPECT_EQ(log.writes.size(), 2u);
    EXPECT_EQ(v.y, 1);  // the refused write did not move the cursor
}

TEST(PrintEngine, CursorOffTheRowIsBroughtBack) {
    Log log;
    ConPrintView v = view_of(&log, 3);
    v.x = INT32_MAX;
    zq_ConPrintTTY(&v, "\tz", 2, 1);
    EXPECT_EQ(log.writes, std::vector<std::string>{"2,1:        z"});
}
}  // namespace
