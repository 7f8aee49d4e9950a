// The console keyboard on a terminal: standard input is switched to raw,
// unechoed, non-blocking reads while the program runs, and the terminal's own
// settings come back at exit and before a fatal signal ends the program. The
// terminal going away (SIGHUP) and SIGTERM arrive as the close key. When
// standard input is not a terminal there is no console input at all.
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "console/con_in.h"

namespace {
bool raw_mode;  // the terminal's settings were saved and changed
bool hung_up;   // the terminal went away: nothing more to read
termios saved_settings;
std::atomic<int> close_request;

constexpr int kCloseSignals[] = {SIGHUP, SIGTERM};
constexpr int kFatalSignals[] = {SIGINT, SIGQUIT, SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL};
constexpr int kSignalCount =
    sizeof kCloseSignals / sizeof(int) + sizeof kFatalSignals / sizeof(int);
struct SavedAction {
    int signal;
    struct sigaction action;
};
SavedAction saved_actions[kSignalCount];
int saved_action_count;

// Keys read but not yet handed out as events, and events written back.
constexpr int32_t kReadBytes = ZQ_TERM_FEED;
ConKeyRecord pending[ZQ_CON_KEY_SLOTS];
TermDecoder decoder;
int32_t pending_count;
int32_t pending_next;

void restore_terminal() {
    if (raw_mode) tcsetattr(STDIN_FILENO, TCSANOW, &saved_settings);
}

void raise_default(int sig) {
    restore_terminal();
    signal(sig, SIG_DFL);
    raise(sig);
}

void on_close_signal(int sig) {
    // A second notification before the program took the first: it is not
    // reading keys, so the signal does what it would have done.
    if (close_request.exchange(1) != 0) raise_default(sig);
}

void on_fatal_signal(int sig) {
    raise_default(sig);
}

// Takes the signal only where it would end the program untouched (an ignored
// signal or another layer's handler stays as it is).
void catch_signal(int sig, void (*handler)(int)) {
    struct sigaction old {};
    if (sigaction(sig, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) return;
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    if (sigaction(sig, &action, nullptr) != 0) return;
    saved_actions[saved_action_count++] = {sig, old};
}

bool enter_raw_mode() {
    if (isatty(STDIN_FILENO) != 1 || tcgetattr(STDIN_FILENO, &saved_settings) != 0) return false;
    termios raw = saved_settings;
    // Signals stay on: Ctrl+C keeps its usual meaning.
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
    raw.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    raw_mode = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
    return raw_mode;
}

void terminal_start() {
    if (!enter_raw_mode()) return;
    for (int sig : kCloseSignals) catch_signal(sig, on_close_signal);
    for (int sig : kFatalSignals) catch_signal(sig, on_fatal_signal);
}

void terminal_stop() {
    for (int i = saved_action_count - 1; i >= 0; --i)
        sigaction(saved_actions[i].signal, &saved_actions[i].action, nullptr);
    saved_action_count = 0;
    restore_terminal();
    raw_mode = false;
}

// A hang-up reaches only the terminal's session leader; a program started by
// a shell that survives it sees the terminal's end in its reads instead.
void note_hang_up() {
    if (hung_up) return;
    hung_up = true;
    close_request.store(1);
}

bool terminal_gone() {
    pollfd p{STDIN_FILENO, POLLIN, 0};
    return poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

int64_t now_ms() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t{t.tv_sec} * 1000 + t.tv_nsec / 1000000;
}

void read_terminal() {
    pending_count = 0;
    pending_next = 0;
    if (terminal_gone()) return note_hang_up();
    // A read that ended inside an escape sequence: its rest is on its way,
    // unless that was a lone Escape. Wait for it, but briefly.
    if (const int32_t wait = term_wait_ms(&decoder, now_ms()); wait > 0) {
        pollfd p{STDIN_FILENO, POLLIN, 0};
        poll(&p, 1, wait);
    }
    uint8_t bytes[kReadBytes];
    const ssize_t n = read(STDIN_FILENO, bytes, sizeof bytes);
    if (n < 0 && errno == EIO) return note_hang_up();
    const int64_t now = now_ms();
    if (n > 0) pending_count = term_feed(&decoder, bytes, static_cast<int32_t>(n), now, pending);
    pending_count += term_expire(&decoder, now, pending + pending_count);
}

bool terminal_next(ConEvent* event) {
    if (pending_next == pending_count) {
        if (!raw_mode || hung_up) return false;
        read_terminal();
        if (pending_count == 0) return false;
    }
    event->kind = ConEventKind::Key;
    event->key = pending[pending_next++];
    event->mouse = nullptr;
    return true;
}

bool terminal_take_close() {
    return close_request.exchange(0) != 0;
}

// The terminal cannot take input back: the events wait here for the next reads.
void terminal_put_back(const ConKeyRecord* keys, int32_t count) {
    const int32_t waiting = pending_count - pending_next;
    if (count > ZQ_CON_KEY_SLOTS - waiting) count = ZQ_CON_KEY_SLOTS - waiting;
    if (count <= 0) return;
    for (int32_t i = 0; i < waiting; ++i) pending[i] = pending[pending_next + i];
    for (int32_t i = 0; i < count; ++i) pending[waiting + i] = keys[i];
    pending_next = 0;
    pending_count = waiting + count;
}
}  // namespace

const ConInputSource __zq_con_platform_input = {
    terminal_start, terminal_stop, terminal_next, terminal_take_close, terminal_put_back,
};

// A terminal tells nothing about held keys.
bool con_in_has_focus() {
    return false;
}

bool con_in_vk_down(int32_t) {
    return false;
}
