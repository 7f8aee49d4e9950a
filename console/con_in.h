// The console keyboard: the key ring the console key reads answer from, and
// the small platform interface that feeds it (con_in_win32.cpp reads console
// input records, con_in_posix.cpp a raw terminal). The ring, the Alt+keypad
// number entry and the terminal decoding are portable and tested on the host.
#pragma once

#include <cstdint>

// A console key event: the fields of the Win32 key record, in its order.
struct ConKeyRecord {
    int32_t key_down;  // non-zero: pressed
    uint16_t repeat;
    uint16_t vk;
    uint16_t scan;
    uint8_t ch;  // the typed character, 0 for none
    uint8_t unused;
    uint32_t state;  // KeyState bits
};
static_assert(sizeof(ConKeyRecord) == 16, "a key record is 16 bytes");

enum class ConEventKind { Key, Mouse, Other };

struct ConEvent {
    ConEventKind kind;
    ConKeyRecord key;   // Key
    const void* mouse;  // Mouse: the platform's mouse record
};

// Where the console's input comes from. Every entry must be set.
struct ConInputSource {
    void (*start)();                // first event processing: control handler, raw mode
    void (*stop)();                 // at exit: undo start
    bool (*next)(ConEvent* event);  // removes the next pending event; false when none
    bool (*take_close)();           // true once per close notification received
    void (*put_back)(const ConKeyRecord* keys, int32_t count);  // back into the input
};

// The platform's source (con_in_win32.cpp, con_in_posix.cpp).
extern const ConInputSource __zq_con_platform_input;
// The source in use; tests point it at a fake.
extern const ConInputSource* __zq_con_input;

// Receives console mouse events; NULL unless a console mouse layer sets it.
extern void (*__zq_MouseEventHook)(const void* mouse_record);

inline constexpr int32_t ZQ_CON_KEY_SLOTS = 512;

// Appends a key and the record it came from; a full ring drops its oldest key.
void zq_hConsolePostKey(int32_t key, const ConKeyRecord* record);
// Handles one key event: translation, Alt+keypad number entry, posting.
void zq_hConsoleHandleKeyEvent(const ConKeyRecord* record);
// Moves every pending event into the ring; 1 when a mouse event went to the hook.
int32_t zq_ConsoleProcessEvents();
int32_t zq_hConsolePeekKey(int32_t whole);
int32_t zq_hConsoleGetKey(int32_t whole);
// Writes the buffered keys' records back into the console input; they stay buffered.
void zq_hConsolePutBackEvents();
// Removes the control handler (or the terminal set-up) at exit.
void zq_hExitControlHandler();
// -1 when a key with this scan code is held while the console has the focus, else 0.
int32_t zq_ConsoleMultikey(int32_t scan);

// A close notification's handler must not return while the program is still
// ending: the system ends the process as soon as it does. It posts the close
// key, then waits here until the program has finished (its run-time shut down)
// or the system's own limit has passed. Returns the milliseconds waited.
struct ConCloseWait {
    int32_t limit_ms;  // the system's limit for this notification
    int32_t step_ms;   // between two looks at finished()
    bool (*finished)();
    void (*sleep)(int32_t ms);
};
int32_t zq_hConsoleWaitForExit(const ConCloseWait& wait);

// The record that goes with the close key (Alt+F4).
ConKeyRecord zq_hConsoleCloseRecord();

// Console handle (Win32) or file descriptor (POSIX): input when `input` is
// non-zero, else output.
intptr_t zq_hConsoleGetHandle(int32_t input);

// Multikey's platform side: whether the console window has the focus, and
// whether a virtual key is down.
bool con_in_has_focus();
bool con_in_vk_down(int32_t vk);
// The row scan of zq_ConsoleMultikey with the key test given.
int32_t zq_hConsoleMultikeyWith(int32_t scan, bool (*vk_down)(int32_t vk));

// Terminal input decoding (term_keys.cpp): the key at the front of `bytes`.
// Returns the bytes used (at least 1 when len > 0, unless `more_may_follow`
// and the bytes are an unfinished escape sequence: then 0); *key.key_down is
// 0 when they give no key (an unknown escape sequence).
int32_t term_decode_key(const uint8_t* bytes, int32_t len, ConKeyRecord* key, bool more_may_follow);

// Terminal bytes to keys across reads: a read may end inside an escape
// sequence whose rest comes with the next. Held bytes that see nothing more
// for ZQ_TERM_ESC_MS are taken as they stand (a lone Escape is the Escape key).
inline constexpr int32_t ZQ_TERM_ESC_MS = 50;
inline constexpr int32_t ZQ_TERM_HELD = 32;  // a longer unfinished sequence is taken as it stands
struct TermDecoder {
    uint8_t held[ZQ_TERM_HELD];
    int32_t count;
    int64_t since_ms;  // when the first held byte came
};
// Adds len bytes (at most ZQ_TERM_FEED) read at now_ms; writes the keys they
// complete to `out` (room for len + ZQ_TERM_HELD) and returns their number.
inline constexpr int32_t ZQ_TERM_FEED = 64;
int32_t term_feed(TermDecoder* d, const uint8_t* bytes, int32_t len, int64_t now_ms,
                  ConKeyRecord* out);
// Takes the held bytes as they stand once they have waited long enough;
// writes their keys to `out` (room for ZQ_TERM_HELD) and returns the number.
int32_t term_expire(TermDecoder* d, int64_t now_ms, ConKeyRecord* out);
// Milliseconds until the held bytes expire; 0 when none are held.
int32_t term_wait_ms(const TermDecoder* d, int64_t now_ms);

// Puts the ring, the changed mark and the Alt number back to empty (tests).
void zq_hConsoleKeysReset();
