// The window procedure on a real window (Windows builds): the events and keys
// each message posts, the early returns that keep the system menu shut, the
// keyboard focus on activation and the window/full-screen switch.
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "gfx/gfx_test_util.h"
#include "gfx/win32/gfx_win32.h"

namespace {
struct Msg {
    UINT msg;  // 0: move the pointer to (wParam, lParam)
    WPARAM wParam;
    LPARAM lParam;
};
constexpr LPARAM kAlt = 1 << 29, kExtended = 1 << 24, kWasDown = 1 << 30;
int32_t inits_left;  // window creations that succeed before the rest fail

int32_t window_init_stub() {
    return inits_left-- > 0 ? zq_hInitWindow(WS_POPUP | WS_VISIBLE, 0, 0, 0, 64, 48) : -1;
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
        SetCursorPos(10, 10);  // inside; its arrival handled, then reported gone
        Sleep(100), send({{WM_MOUSELEAVE, 0, 0}});
    }
    void TearDown() override {
        window_exit_stub();
        zq_hWin32Exit();
        NullScreenTest::TearDown();
    }
    static Msg key(UINT msg, UINT vk, LPARAM scan, LPARAM flags = 0, LPARAM repeat = 1) {
        return {msg, vk, scan << 16 | flags | repeat};
    }

    // Sends the messages, handles what they posted, and lists the events
    // (" eTYPE:DATA") and key strings (" kBYTE.BYTE") that came of them.
    static std::string send(const std::vector<Msg>& messages) {
        zq_hHandleMessages();
        for (const Msg& m : messages) {
            if (m.msg) SendMessageA(zq_win32.window, m.msg, m.wParam, m.lParam);
            if (!m.msg) SetCursorPos(static_cast<int>(m.wParam), static_cast<int>(m.lParam));
        }
        zq_hHandleMessages();
        std::string out;
        char text[64];
        for (GfxState& s = screen(); s.event_head != s.event_tail;
             s.event_head = (s.event_head + 1) % ZQ_EVENT_SLOTS) {
            const int32_t* d = s.event_queue[s.event_head].data;
            int type = static_cast<int>(s.event_queue[s.event_head].type);
            std::snprintf(text, sizeof text, " e%d:%d,%d,%d,%d", type, d[0], d[1], d[2], d[3]);
            out += text;
        }
        while (zq_GfxKeyHit()) {
            ZqString* key = zq_GfxInkey();
            for (int32_t i = 0; i < key->len; ++i)
                out += (i ? "." : " k") + std::to_string(static_cast<uint8_t>(key->data[i]));
            zq_StrDelTemp(key);
        }
        return out;
    }
};

TEST_F(WndProc, EachMessagePostsItsEventsAndKeys) {
    // Events 1-3 Key Down/Up/Repeat, 4 Motion, 8 Wheel, 9-10 Mouse In/Out, 11-12 Focus, 13 Close
    const std::pair<std::vector<Msg>, const char*> cases[] = {
        // The first motion only enters; coordinates are signed (dragged outside).
        {{{WM_MOUSEMOVE, 0, MAKELPARAM(-5, -7)}, {0, 13, 14}, {WM_MOUSEMOVE, 0, MAKELPARAM(8, 9)}},
         " e9:-5,-7,0,0 e4:8,9,3,4"},
        {{{WM_MOUSELEAVE, 0, 0}, {WM_MOUSEMOVE, 0, MAKELPARAM(8, 9)}}, " e10:0,0,0,0 e9:8,9,0,0"},
        {{{WM_ACTIVATE, WA_INACTIVE, 0}, {WM_MOUSEMOVE, 0, 0}}, " e10:0,0,0,0 e12:0,0,0,0"},
        {{{WM_ACTIVATE, WA_ACTIVE, 0}}, " e11:0,0,0,0 e9:0,0,0,0"},
        {{{WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0}, {WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0}},
         " e8:1,0,0,0 e8:0,0,0,0"},
        {{key(WM_KEYDOWN, VK_UP, 0x48, kExtended, 3),
          key(WM_KEYDOWN, VK_UP, 0x48, kExtended | kWasDown),
          key(WM_KEYUP, VK_UP, 0x48, kExtended)},
         " e1:72,0,0,0 e3:72,0,0,0 e2:72,0,0,0 k255.72 k255.72 k255.72 k255.72"},
        {{key(WM_KEYDOWN, 'A', 0x1E), {WM_CHAR, 'a', 1}}, " e1:30,97,0,0 k97"},
        // F10, Alt and Alt+F4 post no event and never reach the system menu.
        {{key(WM_SYSKEYDOWN, VK_F10, 0x44), key(WM_KEYDOWN, VK_MENU, 0x38)}, " k255.68"},
        {{{WM_CLOSE, 0, 0}}, " e13:0,0,0,0 k255.107"},  // the window stays: the program decides
    };
    for (const auto& [messages, want] : cases) EXPECT_EQ(send(messages), want);
    BYTE keyboard[256] = {};
    keyboard[VK_MENU] = 0x80;
    SetKeyboardState(keyboard);
    EXPECT_EQ(send({key(WM_SYSKEYDOWN, VK_F4, 0x3E, kAlt)}), " k255.107");
    keyboard[VK_MENU] = 0;
    SetKeyboardState(keyboard);
    EXPECT_TRUE(IsWindow(zq_win32.window));
    SetFocus(nullptr);
    send({{WM_ACTIVATE, WA_ACTIVE, 0}});
    EXPECT_EQ(GetFocus(), zq_win32.window);  // activation gives the keyboard focus
}

TEST_F(WndProc, SwitchWithoutAWindowAsksTheProgramToEnd) {
    // mode flags, window creations that work, events and keys, a window left
    const std::tuple<int32_t, int32_t, const char*, bool> cases[] = {
        // The old window's end deactivates it; the new one is activated.
        {0, 1, " e9:0,0,0,0 e10:0,0,0,0 e12:0,0,0,0 e11:0,0,0,0 e9:0,0,0,0", true},
        {DriverFlags::FixedMode, 0, " e10:0,0,0,0", true},  // the pointer stays in
        {0, 0, " e10:0,0,0,0 e12:0,0,0,0 e13:0,0,0,0 k255.107", false},
    };
    for (auto [flags, inits, want, window] : cases) {
        zq_win32.mode_flags = flags;
        inits_left = inits;
        EXPECT_EQ(send({{WM_MOUSEMOVE, 0, 0}, key(WM_SYSKEYDOWN, VK_RETURN, 0x1C, kAlt)}), want);
        EXPECT_EQ(zq_win32.window != nullptr, window) << want;
    }
}
}  // namespace
