// The X11 driver: an update thread owns the X connection and the window.
// About every 10 ms it takes the update lock, sends the band of changed lines,
// clears the dirty flags, carries out the program's requests and handles the
// window's events, as the GDI driver's thread does on Windows.
#include <fcntl.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "gfx/win32/gfx_winrules.h"
#include "gfx/x11/gfx_x11.h"

namespace {
constexpr int64_t kPassSleepNs = 10'000'000;
constexpr int32_t kDefaultHz = 60;
constexpr int32_t kKeep = INT32_MIN;

// Exists for the whole process, so that lock and unlock never meet a
// destroyed mutex.
pthread_mutex_t update_lock = PTHREAD_MUTEX_INITIALIZER;
pthread_mutex_t start_lock = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t start_cond = PTHREAD_COND_INITIALIZER;
int32_t start_result;  // guarded by start_lock: 1 pending, 0 open, -1 failed
pthread_t thread;
bool thread_started;          // the program's thread's own
int wake_pipe[2] = {-1, -1};  // exit wakes the update thread through it
int64_t vsync_base_ns;
int64_t vsync_period_ns;

int32_t load_int(const int32_t* p) {
    return __atomic_load_n(p, __ATOMIC_ACQUIRE);
}
void store_int(int32_t* p, int32_t v) {
    __atomic_store_n(p, v, __ATOMIC_RELEASE);
}

int64_t now_ns() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

void sleep_until_ns(int64_t when) {
    timespec t{static_cast<time_t>(when / 1'000'000'000), static_cast<long>(when % 1'000'000'000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) != 0) {
    }
}

void report_start(int32_t result) {
    pthread_mutex_lock(&start_lock);
    start_result = result;
    pthread_cond_broadcast(&start_cond);
    pthread_mutex_unlock(&start_lock);
}

// std::memset rather than zq_hMemSet here: the program's thread may choose
// that pointer again (a new drawing target) while this thread runs.
void pass() {
    GfxState* s = __zq_gfx;
    // An 8-bit framebuffer is converted through its palette: every line
    // changes with it.
    if (load_int(&zq_x11.palette_dirty)) {
        store_int(&zq_x11.palette_dirty, 0);
        std::memset(s->dirty, 1, static_cast<size_t>(zq_x11.win_height));
    }
    zq_hX11SendDirty();
    std::memset(s->dirty, 0, static_cast<size_t>(zq_x11.win_height));
    zq_hX11HandleEvents();
}

// Sleeps until `when`, handling the window's input as soon as it comes (a key
// press reaches the key buffer at once, not at the next pass), and returns
// early when exit asks the thread to end.
void wait_for_pass(int64_t when) {
    pollfd fds[2] = {{ConnectionNumber(zq_x11.display), POLLIN, 0}, {wake_pipe[0], POLLIN, 0}};
    for (int64_t left; (left = when - now_ns()) > 0;) {
        timespec t{static_cast<time_t>(left / 1'000'000'000),
                   static_cast<long>(left % 1'000'000'000)};
        int ready = ppoll(fds, 2, &t, nullptr);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0 || fds[1].revents) return;
        pthread_mutex_lock(&update_lock);
        zq_hX11HandleEvents();
        pthread_mutex_unlock(&update_lock);
    }
}

void close_wake_pipe() {
    for (int& fd : wake_pipe) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

void* update_thread(void* title) {
    if (zq_hX11OpenWindow(static_cast<const char*>(title)) != 0) {
        zq_hX11CloseWindow();
        report_start(-1);
        return nullptr;
    }
    report_start(0);
    int64_t next = now_ns();
    while (load_int(&zq_x11.running)) {
        pthread_mutex_lock(&update_lock);
        pass();
        pthread_mutex_unlock(&update_lock);
        // Passes on a fixed grid: a slow pass does not push the later ones back.
        next += kPassSleepNs;
        int64_t now = now_ns();
        if (next < now) next = now;
        wait_for_pass(next);
    }
    pthread_mutex_lock(&update_lock);
    zq_hX11CloseWindow();
    pthread_mutex_unlock(&update_lock);
    return nullptr;
}

// Runs `fn` under the update lock unless the program's thread holds it already.
template <typename Fn>
void under_lock(Fn fn) {
    const GfxState* s = __zq_gfx;
    bool held = s && (s->flags & SCREEN_LOCKED);
    if (!held) pthread_mutex_lock(&update_lock);
    fn();
    if (!held) pthread_mutex_unlock(&update_lock);
}

// ---- Driver operations ----

int32_t driver_init(const char* title, int32_t w, int32_t h, int32_t depth, int32_t refresh_rate,
                    int32_t flags) {
    std::memset(&zq_x11, 0, sizeof zq_x11);
    if (flags & DriverFlags::OpenGL) return -1;  // shaped windows open as plain ones
    if (zq_hX11Load() != 0) return -1;
    zq_x11.win_width = w;
    zq_x11.win_height = h;
    zq_x11.depth = depth;
    zq_x11.refresh_hz = refresh_rate;
    zq_x11.mode_flags = flags;
    start_result = 1;
    if (pipe2(wake_pipe, O_CLOEXEC) != 0) return -1;
    store_int(&zq_x11.running, 1);
    if (pthread_create(&thread, nullptr, update_thread, const_cast<char*>(title)) != 0) {
        store_int(&zq_x11.running, 0);
        close_wake_pipe();
        return -1;
    }
    thread_started = true;
    pthread_mutex_lock(&start_lock);
    while (start_result == 1) pthread_cond_wait(&start_cond, &start_lock);
    int32_t result = start_result;
    pthread_mutex_unlock(&start_lock);
    if (result != 0) return -1;  // exit joins the ended thread
    int32_t hz = __zq_gfx->refresh_rate > 1 ? __zq_gfx->refresh_rate : kDefaultHz;
    vsync_period_ns = 1'000'000'000 / hz;
    vsync_base_ns = now_ns();
    return 0;
}

void driver_exit() {
    if (!thread_started) return;
    store_int(&zq_x11.running, 0);
    char byte = 0;
    while (write(wake_pipe[1], &byte, 1) < 0 && errno == EINTR) {
    }
    pthread_join(thread, nullptr);
    thread_started = false;
    close_wake_pipe();
}

void driver_lock() {
    pthread_mutex_lock(&update_lock);
}

void driver_unlock() {
    pthread_mutex_unlock(&update_lock);
}

void driver_set_palette(int32_t, int32_t, int32_t, int32_t) {
    store_int(&zq_x11.palette_dirty, 1);
}

// X tells no vertical blank: the waits end on a fixed grid of refresh
// periods, so a loop that waits once per frame keeps the display's pace.
void driver_wait_vsync() {
    int64_t now = now_ns();
    int64_t periods = (now - vsync_base_ns) / vsync_period_ns + 1;
    sleep_until_ns(vsync_base_ns + periods * vsync_period_ns);
}

int32_t driver_get_mouse(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons) {
    if (!zq_x11.active || !zq_x11.mouse_on) return -1;
    *x = zq_x11.mouse_x;
    *y = zq_x11.mouse_y;
    *wheel = zq_x11.mouse_wheel;
    *buttons = zq_x11.mouse_buttons;
    return 0;
}

void driver_set_mouse(int32_t x, int32_t y, int32_t cursor) {
    if (x >= 0) {
        int32_t cx = x < zq_x11.win_width - 1 ? x : zq_x11.win_width - 1;
        int32_t cy = y < 0 ? 0 : (y < zq_x11.win_height - 1 ? y : zq_x11.win_height - 1);
        zq_x11.warp_x = cx;
        zq_x11.warp_y = cy;
        zq_x11.warp_pending = true;
        zq_x11.mouse_x = x;
        zq_x11.mouse_y = y;
    }
    if ((cursor == 0 && zq_x11.cursor_shown) || (cursor > 0 && !zq_x11.cursor_shown)) {
        zq_x11.cursor_shown = cursor > 0;
        zq_x11.cursor_pending = true;
    }
}

void driver_set_window_title(const char* title) {
    under_lock([title] {
        std::memset(zq_x11.title, 0, sizeof zq_x11.title);
        std::strncpy(zq_x11.title, title ? title : "", sizeof zq_x11.title - 1);
        zq_x11.title_pending = true;
    });
}

int32_t driver_set_window_pos(int32_t x, int32_t y) {
    int32_t previous = 0;
    under_lock([&] {
        if (zq_x11.mode_flags & DriverFlags::Fullscreen) return;
        previous = static_cast<int32_t>((static_cast<uint32_t>(zq_x11.win_x) & 0xFFFF) |
                                        (static_cast<uint32_t>(zq_x11.win_y) << 16));
        zq_x11.move_x = x == kKeep ? zq_x11.win_x : x;
        zq_x11.move_y = y == kKeep ? zq_x11.win_y : y;
        zq_x11.move_pending = true;
    });
    return previous;
}

// The X screen's own size is the one mode there is (no mode changes here).
int32_t* driver_fetch_modes(int32_t depth, int32_t* count) {
    *count = 0;
    if (zq_hX11Load() != 0) return nullptr;
    Display* d = zq_x11api.XOpenDisplay(nullptr);
    if (!d) return nullptr;
    int screen = DefaultScreen(d);
    int32_t* modes = nullptr;
    if (zq_hModeDepthMatches(DefaultDepth(d, screen), depth)) {
        modes = zq_hAppendMode(nullptr, count, static_cast<uint32_t>(DisplayWidth(d, screen)),
                               static_cast<uint32_t>(DisplayHeight(d, screen)));
    }
    zq_x11api.XCloseDisplay(d);
    return modes;
}
}  // namespace

extern const GfxDriver zq_gfxDriverX11;
const GfxDriver zq_gfxDriverX11 = {
    "X11",                    // name
    driver_init,              // init
    driver_exit,              // exit
    driver_lock,              // lock
    driver_unlock,            // unlock
    driver_set_palette,       // set_palette
    driver_wait_vsync,        // wait_vsync
    driver_get_mouse,         // get_mouse
    driver_set_mouse,         // set_mouse
    driver_set_window_title,  // set_window_title
    driver_set_window_pos,    // set_window_pos
    driver_fetch_modes,       // fetch_modes
    nullptr,                  // flip
    nullptr,                  // poll_events
};
