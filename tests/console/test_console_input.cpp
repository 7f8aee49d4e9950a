// The console keyboard's portable logic, fed from a scripted input source:
// the key ring, the two-step extended read, Alt+keypad number entry, the close
// key, putting events back, multikey and the terminal's escape sequences.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/con_in.h"
#include "console/io_input.h"
#include "console/zq_console.h"

namespace {
std::vector<ConEvent> script;
size_t script_pos;
bool close_pending;
std::vector<std::vector<ConKeyRecord>> put_back_runs;

void fake_nothing() {}
bool fake_next(ConEvent* event) {
    if (script_pos == script.size()) return false;
    *event = script[script_pos++];
    return true;
}
bool fake_take_close() {
    bool was = close_pending;
    close_pending = false;
    return was;
}
void fake_put_back(const ConKeyRecord* keys, int32_t count) {
    put_back_runs.emplace_back(keys, keys + count);
}
constexpr ConInputSource kFake = {fake_nothing, fake_nothing, fake_next, fake_take_close,
                                  fake_put_back};

ConEvent key_event(bool down, uint16_t vk, uint16_t scan, uint8_t ch, uint32_t state) {
    ConEvent e{};
    e.kind = ConEventKind::Key;
    e.key = {down ? 1 : 0, 1, vk, scan, ch, 0, state};
    return e;
}

// Keypad digit d pressed and released with Left Alt held (no character: the
// console types it only when Alt is released).
void alt_keypad(int d) {
    static constexpr uint16_t scans[] = {0x52, 0x4F, 0x50, 0x51, 0x4B,
                                         0x4C, 0x4D, 0x47, 0x48, 0x49};
    for (bool down : {true, false})
        script.push_back(key_event(down, Vk::Numpad0 + d, scans[d], 0, KeyState::LeftAlt));
}

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
        script_pos = 0;
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
    script.push_back(key_event(true, Vk::Menu, 0x38, 0, KeyState::LeftAlt));
    alt_keypad(6);
    alt_keypad(5);
    script.push_back(key_event(false, Vk::Menu, 0x38, 0, 0));
    zq_hConsolePutBackEvents();
    ASSERT_EQ(put_back_runs.size(), 1u);
    const ConKeyRecord& r = put_back_runs[0].at(0);
    EXPECT_EQ(r.ch, 'A');
    EXPECT_EQ(r.vk, 'A');
    EXPECT_EQ(r.state, static_cast<uint32_t>(KeyState::Shift));
    EXPECT_EQ(r.scan, 0x1E);
    EXPECT_EQ(read_all(), std::vector<int32_t>{65});
}

TEST_F(ConsoleInput, AKeyPressedBeforeAltIsReleasedDropsTheNumber) {
    alt_keypad(6);
    alt_keypad(5);
    script.push_back(key_event(true, 'X', 0x2D, 'x', KeyState::LeftAlt));
    script.push_back(key_event(false, Vk::Menu, 0x38, 0, 0));
    EXPECT_EQ(read_all(), std::vector<int32_t>{0x2DFF});
}

TEST_F(ConsoleInput, ALongRunOfDigitsKeepsTheLowByte) {
    for (int i = 0; i < 30; ++i) alt_keypad(9);  // wraps: must not overflow
    alt_keypad(6);
    alt_keypad(5);
    script.push_back(key_event(false, Vk::Menu, 0x38, 0, 0));
    std::vector<int32_t> keys = read_all();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_GE(keys[0], 0);
    EXPECT_LE(keys[0], 255);
}

TEST_F(ConsoleInput, KeyDownWithoutRepeatsIsIgnored) {
    ConEvent e = key_event(true, 'A', 0x1E, 'a', 0);
    e.key.repeat = 0;
    script.push_back(e);
    script.push_back(key_event(false, 'A', 0x1E, 'a', 0));
    EXPECT_EQ(zq_hConsoleGetKey(1), -1);
}

TEST_F(ConsoleInput, AFullRingKeepsTheLast511KeysInOrder) {
    const ConKeyRecord none{};
    for (int32_t k = 0; k < ZQ_CON_KEY_SLOTS; ++k) zq_hConsolePostKey(k, &none);
    std::vector<int32_t> keys = read_all();
    ASSERT_EQ(keys.size(), 511u);
    for (int32_t i = 0; i < 511; ++i) ASSERT_EQ(keys[i], i + 1);
}

TEST_F(ConsoleInput, ReadsTakeKeysAndPeeksLeaveThem) {
    script.push_back(key_event(true, Vk::Up, 0x48, 0, KeyState::Enhanced));
    EXPECT_EQ(zq_ConsoleKeyHit(), 1);
    EXPECT_EQ(zq_ConsoleKeyHit(), 1);
    // Not whole: 255 first, the entry stays and gives the scan code next.
    EXPECT_EQ(zq_hConsoleGetKeyEx(0, 1), 255);
    EXPECT_EQ(zq_hConsoleGetKeyEx(0, 1), 0x48);
    EXPECT_EQ(zq_hConsoleGetKeyEx(0, 1), -1);
    EXPECT_EQ(zq_ConsoleKeyHit(), 0);

    script.push_back(key_event(true, Vk::Up, 0x48, 0, KeyState::Enhanced));
    script.push_back(key_event(true, 'B', 0x30, 'b', 0));
    EXPECT_EQ(zq_ConsoleGetkey(), 0x48FF);
    EXPECT_EQ(take(zq_ConsoleInkey()), "b");
    EXPECT_EQ(take(zq_ConsoleInkey()), "");
}

TEST_F(ConsoleInput, ChangedMarkIsSetByAPostAndReadOnce) {
    EXPECT_EQ(zq_hConsoleInputBufferChanged(), 0);
    script.push_back(key_event(true, 'A', 0x1E, 'a', 0));
    EXPECT_EQ(zq_hConsoleInputBufferChanged(), 1);
    EXPECT_EQ(zq_hConsoleInputBufferChanged(), 0);
}

TEST_F(ConsoleInput, ACloseNotificationReadsAsTheCloseKey) {
    close_pending = true;
    EXPECT_EQ(take(zq_ConsoleInkey()), "\xFF\x6B");
    close_pending = true;
    zq_hConsolePutBackEvents();
    ASSERT_EQ(put_back_runs.size(), 1u);
    const ConKeyRecord& r = put_back_runs[0].at(0);
    EXPECT_EQ(r.vk, Vk::F1 + 3);
    EXPECT_EQ(r.scan, 0x3E);
    EXPECT_EQ(r.state, static_cast<uint32_t>(KeyState::LeftAlt));
    EXPECT_EQ(zq_ConsoleGetkey(), ZQ_KEY_CLOSE);
}

TEST_F(ConsoleInput, MouseEventsGoToTheHookOnly) {
    static int calls;
    calls = 0;
    ConEvent mouse{};
    mouse.kind = ConEventKind::Mouse;
    script.push_back(mouse);
    EXPECT_EQ(zq_ConsoleProcessEvents(), 0);  // no hook: dropped
    __zq_MouseEventHook = [](const void*) { ++calls; };
    script.push_back(mouse);
    EXPECT_EQ(zq_ConsoleProcessEvents(), 1);
    __zq_MouseEventHook = nullptr;
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(zq_hConsoleGetKey(1), -1);
}

TEST_F(ConsoleInput, PutBackWritesAWrappedRingInTwoRuns) {
    ConKeyRecord r{};
    for (int32_t k = 0; k < ZQ_CON_KEY_SLOTS - 2; ++k) zq_hConsolePostKey(k, &r);
    read_all();
    for (uint8_t k = 1; k <= 4; ++k) {
        r.ch = k;
        zq_hConsolePostKey(k, &r);
    }
    zq_hConsolePutBackEvents();
    ASSERT_EQ(put_back_runs.size(), 2u);
    EXPECT_EQ(put_back_runs[0].size(), 2u);
    EXPECT_EQ(put_back_runs[1].size(), 2u);
    EXPECT_EQ(put_back_runs[1][1].ch, 4);
    EXPECT_EQ(read_all(), (std::vector<int32_t>{1, 2, 3, 4}));  // the keys stay
}

TEST(ConsoleMultikey, EveryKeyTableRowCanReadAsHeld) {
    static int32_t held_vk;
    auto down = [](int32_t vk) { return vk == held_vk; };
    for (int i = 0; i < ZQ_KEYTABLE_ROWS; ++i) {
        const KeyTableRow& row = __zq_keytable[i];
        held_vk = row.vk;
        EXPECT_EQ(zq_hConsoleMultikeyWith(row.scan, down), -1) << "scan " << int(row.scan);
        held_vk = 0xFF;
        EXPECT_EQ(zq_hConsoleMultikeyWith(row.scan, down), 0) << "scan " << int(row.scan);
    }
    held_vk = Vk::Numpad0 + 8;  // second key of Up's row
    EXPECT_EQ(zq_hConsoleMultikeyWith(0x48, down), -1);
    held_vk = 0;
    EXPECT_EQ(zq_hConsoleMultikeyWith(0, down), 0);  // the end marker is no key
}

struct TermCase {
    const char* bytes;
    int32_t used;
    int32_t code;  // after translation; -1: no key
};

constexpr TermCase kTermCases[] = {
    {"A", 1, 'A'},           {"\r", 1, 0x0D},          {"\x7f", 1, 0x08},
    {"\x1b", 1, 0x1B},       {"\x1b\x1b", 1, 0x1B},    {"\x1b[D", 3, 0x4BFF},
    {"\x1bOA", 3, 0x48FF},   {"\x1b[3~", 4, 0x53FF},   {"\x1bOS", 3, 0x3EFF},
    {"\x1b[24~", 5, 0x86FF}, {"\x1b[1;5A", 6, 0x8DFF}, {"\x1b[24;3~", 7, 0x8CFF},
    {"\x1bx", 2, 0x2DFF},    {"\x1b[99~", 5, -1},      {"\x1b[999999999999~", 15, -1},
    {"\x1b[1;5", 5, -1},     {"\xe9", 1, 0xE9},
};

TEST(TerminalKeys, SequencesDecodeToTheConsoleKeyCodes) {
    for (const TermCase& c : kTermCases) {
        const std::string bytes = c.bytes;
        ConKeyRecord k;
        const int32_t used = term_decode_key(reinterpret_cast<const uint8_t*>(bytes.data()),
                                             static_cast<int32_t>(bytes.size()), &k, false);
        EXPECT_EQ(used, c.used) << c.bytes + 1;
        const int32_t code = k.key_down
                                 ? zq_hConsoleTranslateKey(static_cast<int8_t>(k.ch), k.scan, k.vk,
                                                           static_cast<int32_t>(k.state), 0)
                                 : -1;
        EXPECT_EQ(code, c.code) << c.bytes + 1;
    }
}
}  // namespace
