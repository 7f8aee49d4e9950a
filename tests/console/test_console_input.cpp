// The console keyboard's portable logic: key strokes to key codes, the key
// ring fed from a scripted input source (two-step extended read, Alt+keypad
// number entry, the close key, putting events back), multikey, the terminal's
// escape sequences across reads, and the close handler's wait.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "console/con_in.h"
#include "console/io_input.h"
#include "console/zq_console.h"

namespace {
using namespace KeyState;

TEST(KeyTranslation, StrokesGiveTheirKeyCodes) {
    // {typed character, scan, vk, state, extended only, key code}
    // clang-format off
    const int32_t strokes[][6] = {
        {0, 0x3B, Vk::F1, 0, 0, 0x3BFF}, {0, 0x3B, Vk::F1, Shift, 0, 0x54FF},
        {0, 0x3E, Vk::F1 + 3, LeftAlt, 0, ZQ_KEY_CLOSE},           // Alt+F4, the close key
        {0, 0x3B, Vk::F1, LeftAlt | LeftCtrl | Shift, 0, 0x68FF},  // Alt wins, then Ctrl
        {0, 0x58, Vk::F12, Shift, 0, 0x88FF}, {0, 0x48, Vk::Up, Enhanced, 0, 0x48FF},
        {0, 0x48, Vk::Up, Enhanced | LeftCtrl, 0, 0x8DFF},
        {0, 0x1C, Vk::Return, Enhanced | RightAlt, 0, 0xA6FF},
        {0x0D, 0x1C, Vk::Return, Enhanced, 0, 0x0D}, {0, 0x4C, 0x0C, LeftAlt, 0, 0x4CFF},
        {0, 0x4C, 0x0C, 0, 0, 0x4CFF}, {0, 0x4C, 0x0C, LeftCtrl, 0, 0x8FFF},
        {0, 0x47, Vk::Home, Shift, 0, -1}, {'8', 0x48, Vk::Numpad0 + 8, 0, 0, '8'},
        {'a', 0x1E, 'A', 0, 0, 'a'}, {0x01, 0x1E, 'A', LeftCtrl, 0, 0x01},
        {'a', 0x1E, 'A', LeftAlt, 0, 0x1EFF}, {'a', 0x1E, 'A', LeftAlt, 1, 0x1EFF},
        {'a', 0x1E, 'A', 0, 1, -1}, {0x09, 0x0F, Vk::Tab, Shift, 0, 0x0FFF},
        {0, 0x2A, Vk::Shift, Shift, 0, -1},
        {0xE9, 0x70, 0x15, 0, 0, 0xE9},        // scan above the table: the character
        {0, 0x5B, Vk::LWin, Enhanced, 0, -1},  // enhanced, in no row
        {0x161, 0x1E, 'A', 0, 0, 'a'}, {-23, 0x70, 0x15, 0, 0, 0xE9},  // the low byte only
        {0, 0x7003B, 0x50070, 0, 0, 0x3BFF}};  // the low 16 bits of scan and vk
    // clang-format on
    for (const auto& [ascii, scan, vk, state, extended_only, code] : strokes)
        EXPECT_EQ(zq_hConsoleTranslateKey(ascii, scan, vk, state, extended_only), code) << scan;
    // The keypad's cursor keys without Num Lock (pad 5 has its own rows above)
    // give the grey keys' codes, alone and with Ctrl: two tables that must agree.
    for (const ExtKeyEntry& grey : zq_ext_key_entries) {
        if (grey.scan < 0x47) continue;  // Enter and '/' are pad keys only when grey
        for (int32_t state : {0, int32_t{LeftCtrl}})
            EXPECT_EQ(zq_hConsoleTranslateKey(0, grey.scan, 0, state, 0),
                      zq_hConsoleTranslateKey(0, grey.scan, 0, state | Enhanced, 0))
                << grey.scan << " " << state;
    }
    // The first row naming a key wins; others name none (the X11 keys check more).
    const int32_t vk_scans[][2] = {
        {Vk::Shift, 0x2A}, {Vk::Subtract, 0x0C}, {Vk::Pause, 0}, {-1, 0}, {0x141, 0}};
    for (const auto& [vk, scan] : vk_scans) EXPECT_EQ(zq_hVirtualToScancode(vk), scan) << vk;
}

std::deque<ConEvent> script;
bool close_pending;
std::vector<std::vector<ConKeyRecord>> put_back_runs;

constexpr ConInputSource kFake = {
    [] {},
    [] {},
    [](ConEvent* event) {
        if (script.empty()) return false;
        *event = script.front();
        script.pop_front();
        return true;
    },
    [] { return std::exchange(close_pending, false); },
    [](const ConKeyRecord* keys, int32_t count) { put_back_runs.emplace_back(keys, keys + count); },
};

ConEvent key_event(bool down, uint16_t vk, uint16_t scan, uint8_t ch, uint32_t state) {
    return {ConEventKind::Key, {down ? 1 : 0, 1, vk, scan, ch, 0, state}, nullptr};
}

// Keypad digit d pressed and released with Left Alt held (no character: the
// console types it only when Alt is released).
void alt_keypad(int d) {
    for (bool down : {true, false})
        script.push_back(key_event(down, Vk::Numpad0 + d, 0, 0, LeftAlt));
}
const ConEvent kAltUp = key_event(false, Vk::Menu, 0x38, 0, 0);

std::vector<int32_t> read_all() {
    std::vector<int32_t> keys;
    for (int32_t k; (k = zq_hConsoleGetKey(1)) != -1;) keys.push_back(k);
    return keys;
}

std::string take(ZqString* s) {
    std::string text(s->data, static_cast<size_t>(s->len));
    zq_StrDelTemp(s);
    return text;
}

class ConsoleInput : public ::testing::Test {
   protected:
    void SetUp() override {
        __zq_con_input = &kFake;
        script.clear();
        close_pending = false;
        put_back_runs.clear();
        zq_hConsoleKeysReset();
    }
    void TearDown() override {
        zq_hConsoleKeysReset();
        __zq_con_input = &__zq_con_platform_input;
    }
};

TEST_F(ConsoleInput, AltAndKeypadDigitsTypeACharacterWhenAltIsReleased) {
    script.push_back(key_event(true, Vk::Menu, 0x38, 0, LeftAlt));
    alt_keypad(6);
    alt_keypad(5);
    script.push_back(kAltUp);
    zq_hConsolePutBackEvents();
    ASSERT_EQ(put_back_runs.size(), 1u);
    const ConKeyRecord& r = put_back_runs[0].at(0);
    EXPECT_EQ(std::vector<int>({r.ch, r.vk, static_cast<int>(r.state), r.scan}),
              std::vector<int>({'A', 'A', Shift, 0x1E}));
    EXPECT_EQ(read_all(), std::vector<int32_t>{65});

    // A key that gives a code before Alt is released drops the number.
    alt_keypad(6);
    script.push_back(key_event(true, 'X', 0x2D, 'x', LeftAlt));
    script.push_back(kAltUp);
    EXPECT_EQ(read_all(), std::vector<int32_t>{0x2DFF});
    for (int i = 0; i < 30; ++i) alt_keypad(9);  // wraps: must not overflow
    script.push_back(kAltUp);
    const std::vector<int32_t> keys = read_all();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_TRUE(keys[0] >= 0 && keys[0] <= 255);
    ConEvent no_repeat = key_event(true, 'A', 0x1E, 'a', 0);
    no_repeat.key.repeat = 0;
    script.push_back(no_repeat);
    EXPECT_EQ(zq_hConsoleGetKey(1), -1);
}

TEST_F(ConsoleInput, AFullRingKeepsTheLast511KeysAndPutsBackAWrappedRingInTwoRuns) {
    ConKeyRecord r{};
    for (int32_t k = 0; k < ZQ_CON_KEY_SLOTS; ++k) zq_hConsolePostKey(k, &r);
    std::vector<int32_t> keys = read_all();
    ASSERT_EQ(keys.size(), 511u);
    for (int32_t i = 0; i < 511; ++i) ASSERT_EQ(keys[i], i + 1);

    zq_hConsoleKeysReset();
    for (int32_t k = 0; k < ZQ_CON_KEY_SLOTS - 2; ++k) zq_hConsolePostKey(k, &r);
    read_all();
    for (r.ch = 1; r.ch <= 4; ++r.ch) zq_hConsolePostKey(r.ch, &r);
    zq_hConsolePutBackEvents();
    ASSERT_EQ(put_back_runs.size(), 2u);
    EXPECT_EQ(put_back_runs[0].size() + put_back_runs[1].size() * 10, 22u);
    EXPECT_EQ(put_back_runs[1][1].ch, 4);
    EXPECT_EQ(read_all(), (std::vector<int32_t>{1, 2, 3, 4}));  // the keys stay
}

TEST_F(ConsoleInput, ReadsTakeKeysPeeksLeaveThemOthersAreNoKeys) {
    EXPECT_EQ(zq_hConsoleInputBufferChanged(), 0);
    script.push_back(key_event(true, Vk::Up, 0x48, 0, Enhanced));
    EXPECT_EQ(zq_ConsoleKeyHit(), 1);
    EXPECT_EQ(zq_ConsoleKeyHit(), 1);
    EXPECT_EQ(zq_hConsoleInputBufferChanged(), 1);
    EXPECT_EQ(zq_hConsoleInputBufferChanged(), 0);
    // Not whole: 255 first, the entry stays and gives the scan code next.
    EXPECT_EQ(zq_hConsoleGetKeyEx(0, 1), 255);
    EXPECT_EQ(zq_hConsoleGetKeyEx(0, 1), 0x48);
    EXPECT_EQ(zq_hConsoleGetKeyEx(0, 1), -1);
    EXPECT_EQ(zq_ConsoleKeyHit(), 0);

    script.push_back(key_event(true, Vk::Up, 0x48, 0, Enhanced));
    script.push_back(key_event(true, 'B', 0x30, 'b', 0));
    EXPECT_EQ(zq_ConsoleGetkey(), 0x48FF);
    EXPECT_EQ(take(zq_ConsoleInkey()), "b");
    EXPECT_EQ(take(zq_ConsoleInkey()), "");

    // A close notification reads as the close key.
    close_pending = true;
    EXPECT_EQ(take(zq_ConsoleInkey()), "\xFF\x6B");
    close_pending = true;
    zq_hConsolePutBackEvents();
    ASSERT_EQ(put_back_runs.size(), 1u);
    const ConKeyRecord& r = put_back_runs[0].at(0);
    EXPECT_EQ(std::vector<int>({r.vk, r.scan, static_cast<int>(r.state)}),
              std::vector<int>({Vk::F1 + 3, 0x3E, LeftAlt}));
    EXPECT_EQ(zq_ConsoleGetkey(), ZQ_KEY_CLOSE);

    // Mouse events go to the hook only.
    static int calls = 0;
    const ConEvent mouse{ConEventKind::Mouse, {}, nullptr};
    script.push_back(mouse);
    EXPECT_EQ(zq_ConsoleProcessEvents(), 0);  // no hook: dropped
    script.push_back(mouse);
    __zq_MouseEventHook = [](const void*) { ++calls; };
    EXPECT_EQ((std::vector{zq_ConsoleProcessEvents(), calls, zq_hConsoleGetKey(1)}),
              (std::vector{1, 1, -1}));
    __zq_MouseEventHook = nullptr;
}

TEST(ConsoleMultikey, EveryKeyTableRowCanReadAsHeld) {
    static int32_t held_vk;
    auto down = [](int32_t vk) { return vk == held_vk; };
    for (const KeyTableRow* row = __zq_keytable; row->scan != 0; ++row) {
        held_vk = row->vk;
        EXPECT_EQ(zq_hConsoleMultikeyWith(row->scan, down), -1) << int(row->scan);
        held_vk = 0xFF;
        EXPECT_EQ(zq_hConsoleMultikeyWith(row->scan, down), 0) << int(row->scan);
    }
    held_vk = Vk::Numpad0 + 8;  // second key of Up's row
    EXPECT_EQ(zq_hConsoleMultikeyWith(0x48, down), -1);
    held_vk = 0;
    EXPECT_EQ(zq_hConsoleMultikeyWith(0, down), 0);  // the end marker is no key
}

// The close handler keeps the process alive until the program has finished,
// however early it read the close key, and gives up at the system's limit.
TEST(ConsoleClose, TheHandlerWaitsForTheProgramToFinish) {
    static int32_t clock_ms, finish_at;
    const int32_t cases[][3] = {{800, 5000, 800}, {-1, 5000, 5000}, {0, 5000, 0}, {-1, 120, 120}};
    for (const auto& [finish, limit, waited] : cases) {
        clock_ms = 0;
        finish_at = finish;
        const ConCloseWait wait{limit, 50, [] { return finish_at >= 0 && clock_ms >= finish_at; },
                                [](int32_t ms) { clock_ms += ms; }};
        EXPECT_EQ(zq_hConsoleWaitForExit(wait), waited) << finish << " " << limit;
        EXPECT_EQ(clock_ms, waited);
    }
}

// Each sequence with its key code (-1: no key).
// clang-format off
const std::pair<const char*, int32_t> kTermCases[] = {
    {"A", 'A'}, {"\r", 0x0D}, {"\x7f", 0x08}, {"\x1b[D", 0x4BFF}, {"\x1bOA", 0x48FF},
    {"\x1b[3~", 0x53FF}, {"\x1bOS", 0x3EFF}, {"\x1b[24~", 0x86FF}, {"\x1b[1;5A", 0x8DFF},
    {"\x1b[24;3~", 0x8CFF}, {"\x1bx", 0x2DFF}, {"\x1b[99~", -1}, {"\xe9", 0xE9},
    {"\x1b[H", 0x47FF}, {"\x1bOH", 0x47FF}, {"\x1b[1~", 0x47FF}, {"\x1b[7~", 0x47FF},
    {"\x1b[F", 0x4FFF}, {"\x1bOF", 0x4FFF}, {"\x1b[4~", 0x4FFF}, {"\x1b[8~", 0x4FFF},
    {"\x1b[999999999999~", -1}};
// clang-format on

std::vector<int32_t> codes(const ConKeyRecord* keys, int32_t n) {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < n; ++i)
        out.push_back(zq_hConsoleTranslateKey(static_cast<int8_t>(keys[i].ch), keys[i].scan,
                                              keys[i].vk, static_cast<int32_t>(keys[i].state), 0));
    return out;
}

std::vector<int32_t> feed(TermDecoder& d, std::string_view bytes, int64_t now) {
    ConKeyRecord out[ZQ_TERM_FEED + ZQ_TERM_HELD];
    return codes(out, term_feed(&d, reinterpret_cast<const uint8_t*>(bytes.data()),
                                static_cast<int32_t>(bytes.size()), now, out));
}

std::vector<int32_t> expire(TermDecoder& d, int64_t now) {
    ConKeyRecord out[ZQ_TERM_HELD];
    return codes(out, term_expire(&d, now, out));
}

// Each sequence alone, and split across two reads at every point: the same key.
TEST(TerminalKeys, SequencesDecodeWhereverAReadEnds) {
    for (const auto& [text, code] : kTermCases) {
        const std::string bytes = text;
        const auto want = code == -1 ? std::vector<int32_t>{} : std::vector{code};
        for (size_t cut = 0; cut < bytes.size(); ++cut) {
            TermDecoder d{};
            std::vector<int32_t> got = feed(d, bytes.substr(0, cut), 0);
            for (int32_t k : feed(d, bytes.substr(cut), 1)) got.push_back(k);
            EXPECT_EQ(got, want) << text + 1 << " cut at " << cut;
            EXPECT_EQ(d.count, 0) << text + 1;
        }
    }
    // A sequence never finished is given up, not kept for ever.
    TermDecoder d{};
    EXPECT_EQ(feed(d, "\x1b[" + std::string(40, '1'), 0), std::vector<int32_t>{});
    EXPECT_EQ(d.count, 0);
}

TEST(TerminalKeys, ALoneEscapeWaitsBrieflyThenStandsAlone) {
    TermDecoder d{};
    EXPECT_EQ(feed(d, "\x1b", 0), std::vector<int32_t>{});
    EXPECT_EQ(term_wait_ms(&d, 10), ZQ_TERM_ESC_MS - 10);
    EXPECT_EQ(expire(d, ZQ_TERM_ESC_MS - 1), std::vector<int32_t>{});
    EXPECT_EQ(expire(d, ZQ_TERM_ESC_MS), std::vector<int32_t>{0x1B});
    EXPECT_EQ(term_wait_ms(&d, 100), 0);
    // A key typed soon after, but once the wait is over: Escape, then the key.
    EXPECT_EQ(feed(d, "\x1b", 200), std::vector<int32_t>{});
    EXPECT_EQ(feed(d, "x", 200 + ZQ_TERM_ESC_MS), (std::vector<int32_t>{0x1B, 'x'}));
    // Within the wait it is what a terminal sends for Alt+x.
    EXPECT_EQ(feed(d, "\x1b", 300), std::vector<int32_t>{});
    EXPECT_EQ(feed(d, "x", 310), std::vector<int32_t>{0x2DFF});
    // Two Escapes: the first stands alone at once, the second after the wait.
    EXPECT_EQ(feed(d, "\x1b\x1b", 400), std::vector<int32_t>{0x1B});
    EXPECT_EQ(expire(d, 400 + ZQ_TERM_ESC_MS), std::vector<int32_t>{0x1B});
}
}  // namespace
