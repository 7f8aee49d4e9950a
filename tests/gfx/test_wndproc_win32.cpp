// The window procedure on a real window (Windows builds): the events and keys
// each message posts, the early returns that keep the system menu shut, the
// keyboard focus on activation and the window/full-screen switch.
#ifdef _WIN32
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/gfx_test_util.h"
#include "gfx/win32/gfx_win32.h"

namespace {
struct Msg {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

constexpr LPARAM kAlt = 1 << 29, kExtended = 1 << 24, kWasDown = 1 << 30;

Msg key(UINT message, UINT vk, int32_t scan, LPARAM flags = 0, int32_t repeat = 1) {
    return {message, vk, static_cast<LPARAM>(scan) << 16 | flags | repeat};
}

Msg msg(UINT message, WPARAM w = 0, LPARAM l = 0) {
    return {message, w, l};
}

int32_t inits_left;  // window creations that succeed before the rest fail

int32_t window_init_stub() {
    if (inits_left-- <= 0) return -1;
    return zq_hInitWindow(WS_POPUP | WS_VISIBLE, 0, 0, 0, 64, 48);
}

void window_exit_stub() {
    if (zq_win32.window) DestroyWindow(zq_win32.window);
    zq_win32.window = nullptr;
}

// The window layer without an update thread: the window belongs to the test's
// thread, and messages sent to it run the window procedure at once.
class WndProc : public NullScreenTest {
   protected:
    void SetUp() override {
        NullScreenTest::SetUp();
        std::memset(&zq_win32, 0, sizeof zq_win32);
        zq_win32.window_init = window_init_stub;
        zq_win32.window_exit = window_exit_stub;
        ASSERT_EQ(zq_hWin32Init("wndproc", 64, 48, 32, 0, DriverFlags::OpenGL), 0);
        inits_left = 1;
        // Windows need a display: the end-to-end stage runs these on its own.
        if (zq_win32.window_init() != 0) GTEST_SKIP() << "no display";
        zq_win32.active = 1;
        // The pointer inside, its arrival handled, then reported gone.
        SetCursorPos(10, 10);
        Sleep(100);
        posted();
        send({msg(WM_MOUSELEAVE)});
    }
    void TearDown() override {
        window_exit_stub();
        zq_hWin32Exit();
        NullScreenTest::TearDown();
    }

    // Sends each message (0: moves the pointer to (wParam, lParam)), handles
    // what they posted, and lists the events and keys that came of them.
    std::string send(const std::vector<Msg>& messages) {
        for (const Msg& m : messages) {
            if (m.msg) result = SendMessageA(zq_win32.window, m.msg, m.wParam, m.lParam);
            if (!m.msg) SetCursorPos(static_cast<int>(m.wParam), static_cast<int>(m.lParam));
        }
        return posted();
    }
    std::string posted() {
        zq_hHandleMessages();
        std::string out;
        GfxState& s = screen();
        char text[64];
        for (; s.event_head != s.event_tail; s.event_head = (s.event_head + 1) % ZQ_EVENT_SLOTS) {
            const GfxEvent& e = s.event_queue[s.event_head];
            std::snprintf(text, sizeof text, " e%d:%d,%d,%d,%d", static_cast<int>(e.type),
                          e.data[0], e.data[1], e.data[2], e.data[3]);
            out += text;
        }
        for (std::string key; !(key = inkey()).empty();) {
            out += " k" + std::to_string(static_cast<uint8_t>(key[0]));
            if (key.size() > 1) out += "." + std::to_string(static_cast<uint8_t>(key[1]));
        }
        return out;
    }
    static std::string inkey() {
        ZqString* s = zq_GfxInkey();
        std::string bytes(s->data, static_cast<size_t>(s->len));
        zq_StrDelTemp(s);
        return bytes;
    }
    LRESULT result = -1;
};

TEST_F(WndProc, EachMessagePostsItsEventsAndKeys) {
    // Event types: 1 KeyDown, 2 KeyUp, 3 KeyRepeat, 4 MouseMotion, 8 WheelMotion,
    // 9 MouseIn, 10 MouseOut, 11 FocusIn, 12 FocusOut, 13 CloseRequest.
    struct Case {
        std::vector<Msg> messages;
        const char* want;
    } cases[] = {
        // The first motion only enters; coordinates are signed (dragged outside).
        {{msg(WM_MOUSEMOVE, 0, MAKELPARAM(-5, -7)), msg(0, 13, 14),
          msg(WM_MOUSEMOVE, 0, MAKELPARAM(8, 9))},
         " e9:-5,-7,0,0 e4:8,9,3,4"},
        {{msg(WM_MOUSELEAVE), msg(WM_MOUSEMOVE, 0, MAKELPARAM(8, 9))}, " e10:0,0,0,0 e9:8,9,0,0"},
        {{msg(WM_ACTIVATE, WA_INACTIVE), msg(WM_MOUSEMOVE)}, " e10:0,0,0,0 e12:0,0,0,0"},
        {{msg(WM_ACTIVATE, WA_ACTIVE)}, " e11:0,0,0,0 e9:0,0,0,0"},
        {{msg(WM_MOUSEWHEEL, MAKEWPARAM(0, 120)), msg(WM_MOUSEWHEEL, MAKEWPARAM(0, -120))},
         " e8:1,0,0,0 e8:0,0,0,0"},
        {{key(WM_KEYDOWN, VK_UP, 0x48, kExtended, 3),
          key(WM_KEYDOWN, VK_UP, 0x48, kExtended | kWasDown),
          key(WM_KEYUP, VK_UP, 0x48, kExtended)},
         " e1:72,0,0,0 e3:72,0,0,0 e2:72,0,0,0 k255.72 k255.72 k255.72 k255.72"},
        {{key(WM_KEYDOWN, 'A', 0x1E), msg(WM_CHAR, 'a', 1)}, " e1:30,97,0,0 k97"},
        // F10, Alt and Alt+F4 post no event and never reach the system menu.
        {{key(WM_SYSKEYDOWN, VK_F10, 0x44), key(WM_KEYDOWN, VK_MENU, 0x38)}, " k255.68"},
        {{msg(WM_CLOSE)}, " e13:0,0,0,0 k255.107"},
    };
    for (const Case& c : cases) EXPECT_EQ(send(c.messages), c.want) << c.want;
    BYTE keyboard[256] = {};
    keyboard[VK_MENU] = 0x80;
    SetKeyboardState(keyboard);
    EXPECT_EQ(send({key(WM_SYSKEYDOWN, VK_F4, 0x3E, kAlt)}), " k255.107");
    keyboard[VK_MENU] = 0;
    SetKeyboardState(keyboard);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(IsWindow(zq_win32.window));  // the program decides to close
}

TEST_F(WndProc, ActivationGivesTheKeyboardFocus) {
    SetFocus(nullptr);
    send({msg(WM_ACTIVATE, WA_ACTIVE)});
    EXPECT_EQ(GetFocus(), zq_win32.window);
}

TEST_F(WndProc, SwitchWithoutAWindowAsksTheProgramToEnd) {
    struct Case {
        int32_t flags, inits;
        const char* want;
        bool window;
    } cases[] = {
        // The old window's end deactivates it; the new one is activated.
        {0, 1, " e9:0,0,0,0 e10:0,0,0,0 e12:0,0,0,0 e11:0,0,0,0 e9:0,0,0,0", true},
        {DriverFlags::FixedMode, 0, " e10:0,0,0,0", true},  // the pointer stays in
        {0, 0, " e10:0,0,0,0 e12:0,0,0,0 e13:0,0,0,0 k255.107", false},
    };
    for (const Case& c : cases) {
        zq_win32.mode_flags = c.flags;
        inits_left = c.inits;
        EXPECT_EQ(send({msg(WM_MOUSEMOVE), key(WM_SYSKEYDOWN, VK_RETURN, 0x1C, kAlt)}), c.want);
        EXPECT_EQ(zq_win32.window != nullptr, c.window) << c.want;
    }
}
}  // namespace
#endif
