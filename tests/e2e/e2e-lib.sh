# Shared by the end-to-end scripts:  source e2e-lib.sh host|win32|win64 [HOST_BUILD]
# A Windows build runs under Wine in an end-to-end prefix of its own (so that
# its server talks to our display), "host" natively. HOST_BUILD holds zqframes
# and zqprobe. Whatever a script starts is stopped on exit,
# by process id (the Wine server with `wineserver -k`).
set -u
e2e_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
if [ "$1" != host ]; then
    export ZQ_WINEPREFIX=${ZQ_E2E_WINEPREFIX:-$e2e_root/build/wineprefix-e2e-$1}
    source "$e2e_root/scripts/wine-env.sh" "$1" || exit 1
fi
e2e_arch=$1
e2e_host=${2:-}
# Screenshots compared with a picture are kept here as NAME-ARCH.png.
e2e_shot_dir=${E2E_SHOT_DIR:-$e2e_root/build/e2e-shots}
e2e_tmp=""
e2e_xvfb_pid=""
e2e_wm_pid=""
demo_pid=""

e2e_log() { echo "${e2e_name:-e2e} ($e2e_arch): $*"; }
e2e_fail() {
    e2e_log "FAIL: $*"
    exit 1
}
e2e_out() { tr -d '\r' <"$e2e_tmp/out"; }
e2e_now_ms() {
    local us=${EPOCHREALTIME//[^0-9]/}
    echo $((us / 1000))
}
e2e_wine() { [ "$e2e_arch" != host ]; }

# e2e_until SECONDS COMMAND...: runs the command every e2e_poll seconds (0.05)
# until it succeeds (0) or SECONDS have passed (1).
e2e_until() {
    local deadline=$(($(e2e_now_ms) + $(awk "BEGIN { print int($1 * 1000) }")))
    shift
    until "$@"; do
        [ "$(e2e_now_ms)" -ge "$deadline" ] && return 1
        sleep "${e2e_poll:-0.05}"
    done
}

e2e_cleanup() {
    e2e_stop_demo
    [ -n "$e2e_tmp" ] && e2e_wine && wineserver -k 2>/dev/null
    [ -n "$e2e_wm_pid" ] && kill "$e2e_wm_pid" 2>/dev/null && wait "$e2e_wm_pid" 2>/dev/null
    [ -n "$e2e_xvfb_pid" ] && kill "$e2e_xvfb_pid" 2>/dev/null && wait "$e2e_xvfb_pid" 2>/dev/null
    [ -n "$e2e_tmp" ] && rm -rf "$e2e_tmp"
    e2e_tmp="" e2e_wm_pid="" e2e_xvfb_pid=""
}

# e2e_begin [WxHxDEPTH]: a private Xvfb (default 1024x768x24; more options in
# E2E_XVFB_ARGS) with a window manager, which Wine waits for when it hides a
# window; again after e2e_cleanup for another screen.
e2e_begin() {
    e2e_tmp=$(mktemp -d)
    trap e2e_cleanup EXIT
    trap 'exit 1' INT TERM HUP
    unset DISPLAY
    if e2e_wine; then
        zq_wine_prefix_ready || e2e_fail "cannot make the Wine prefix $WINEPREFIX"
        wineserver -k 2>/dev/null # a server left by an earlier run may know another display
    fi
    # shellcheck disable=SC2086 # the options are words
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768x24}" -nolisten tcp ${E2E_XVFB_ARGS:-} \
        3>"$e2e_tmp/display" >/dev/null 2>&1 &
    e2e_xvfb_pid=$!
    e2e_until 10 grep -qx '[0-9][0-9]*' "$e2e_tmp/display" || e2e_fail "Xvfb did not start"
    export DISPLAY=:$(head -1 "$e2e_tmp/display")
    local try
    for try in 1 2; do # a second chance, with what the first said kept for the log
        openbox --sm-disable >>"$e2e_tmp/wm.log" 2>&1 &
        e2e_wm_pid=$!
        e2e_until 5 wmctrl -m >/dev/null 2>&1 && break
        kill "$e2e_wm_pid" 2>/dev/null && wait "$e2e_wm_pid" 2>/dev/null
        [ $try = 1 ] || e2e_fail "the window manager did not start: $(tail -3 "$e2e_tmp/wm.log")"
    done
}

# e2e_start PROGRAM [ARGS...]: runs it in the background, its output (and that
# of Wine's helper processes, which outlive it) in $e2e_tmp/out.
e2e_start() {
    if e2e_wine; then set -- "$ZQ_WINE" "$@"; fi
    "$@" </dev/null >"$e2e_tmp/out" 2>&1 &
    demo_pid=$!
}

# Builtins only: the polls must not cost a process each on a busy machine.
e2e_running() {
    local stat
    read -r stat 2>/dev/null <"/proc/$1/stat" || return 1
    [[ ${stat##*) } == [^ZX]* ]]
}
e2e_ended() { ! e2e_running "$demo_pid"; }

# e2e_wait_exit SECONDS: sets e2e_status once the program ends; 1 if it runs on.
e2e_wait_exit() {
    e2e_poll=0.01 e2e_until "$1" e2e_ended || return 1
    wait "$demo_pid"
    e2e_status=$?
    demo_pid=""
}

e2e_stop_demo() {
    [ -n "$demo_pid" ] || return 0
    kill "$demo_pid" 2>/dev/null
    e2e_wait_exit 2 || { kill -9 "$demo_pid" 2>/dev/null; wait "$demo_pid" 2>/dev/null; }
    demo_pid=""
}

# e2e_run PROGRAM [ARGS...]: fails the test unless it ends with status 0 within 60 s.
e2e_run() {
    e2e_start "$@"
    e2e_wait_exit 60 || e2e_fail "$* did not end"
    [ "$e2e_status" = 0 ] || e2e_fail "$* ended with status $e2e_status ($(e2e_out | tail -1))"
}

# e2e_driver WANT PROGRAM [ARGS...]: e2e_run; its "driver: " line must begin with
# WANT (a pattern).
e2e_driver() {
    local want=$1 line
    shift
    e2e_run "$@"
    line=$(e2e_out | grep '^driver: ')
    [[ $line == driver:\ $want* ]] || e2e_fail "ZQGFX=${ZQGFX:-} $*: $line, not $want"
    e2e_log "ZQGFX=${ZQGFX:-} $*: $line"
}

# e2e_find_window TITLE SECONDS: prints the id of the program's visible window
# of that title; fails when none comes in time or the program ends first.
e2e_find_window() {
    local wid=""
    e2e_window_or_end() {
        wid=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
        [ -n "$wid" ] || e2e_ended
    }
    e2e_until "$2" e2e_window_or_end "$1" && [ -n "$wid" ] && echo "$wid"
}

# e2e_window TITLE: sets wid to the window, which must come with a 640x480 client area.
e2e_window() {
    wid=$(e2e_find_window "$1" 60) || e2e_fail "no window titled '$1' appeared"
    local size
    size=$(xwininfo -id "$wid" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
    [ "$size" = 640x480 ] || e2e_fail "the window's client area is $size, not 640x480"
}

# e2e_window_gone WID SECONDS: an ended program's windows linger until the
# server notices its connection closed.
e2e_no_window() { ! xwininfo -id "$1" >/dev/null 2>&1; }
e2e_window_gone() { e2e_until "$2" e2e_no_window "$1"; }

# e2e_end_by_key KEY|close [SECONDS]: the key typed into $wid (or the window
# manager's close request, WM_DELETE_WINDOW) ends the program with status 0
# within SECONDS (10), and its window goes. The key is released even so: a
# program gone before the release leaves it held in the X server.
e2e_end_by_key() {
    local start
    [ "$1" = close ] || xdotool windowfocus --sync "$wid" 2>/dev/null
    start=$(e2e_now_ms)
    if [ "$1" = close ]; then wmctrl -i -c "$wid"; else xdotool key "$1" 2>/dev/null; fi
    e2e_wait_exit "${2:-10}" || e2e_fail "still running ${2:-10} s after the key $1"
    [ "$e2e_status" = 0 ] || e2e_fail "exit status $e2e_status after the key $1 ($(e2e_out | tail -1))"
    e2e_log "the key $1 ended the program with status 0 after $(($(e2e_now_ms) - start)) ms"
    e2e_window_gone "$wid" 5 || e2e_fail "the window outlived the program"
    [ "$1" = close ] || xdotool keyup "$1" 2>/dev/null
}

# e2e_matching_frame: prints the frame count whose framebuffer $wid shows; a
# few tries, as the update thread may copy a half-drawn sector.
e2e_matching_frame() {
    local attempt result
    for attempt in 1 2 3 4 5; do
        import -window "$wid" -depth 8 "ppm:$e2e_tmp/shot.ppm" 2>/dev/null || return 2
        result=$("$e2e_host/zqframes" --match "$e2e_tmp/shot.ppm" 2>&1)
        case $? in
        0) echo "$result"; return 0 ;;
        1) e2e_log "screenshot $attempt: $result" >&2 ;;
        *) e2e_log "zqframes: $result" >&2; return 2 ;;
        esac
        sleep 0.1
    done
    return 1
}

e2e_cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }

# e2e_frames_advance SECONDS [HZ]: $wid shows a demo frame and SECONDS later a
# later one, with HZ within 10% of that rate (scripts/measure-demo.sh tells the CPU use).
e2e_frames_advance() {
    sleep 1
    local t0 t1 first second report
    t0=$(e2e_now_ms)
    first=$(e2e_matching_frame) || e2e_fail "no screenshot matched any frame"
    sleep "$1"
    t1=$(e2e_now_ms)
    second=$(e2e_matching_frame) || e2e_fail "no later screenshot matched any frame"
    e2e_log "the window showed frame $first, then frame $second $((t1 - t0)) ms later"
    [ "$second" -gt "$first" ] || e2e_fail "the later frame count $second is not above $first"
    report=$(awk -v f="$((second - first))" -v ms="$((t1 - t0))" -v hz="${2:-0}" 'BEGIN {
        fps = f / (ms / 1000)
        printf "%.1f frames per second\n", fps
        exit (hz > 0 && (fps < hz * 0.9 || fps > hz * 1.1)) }') ||
        e2e_fail "$report: not within 10% of $2 Hz"
    e2e_log "$report"
}

# e2e_expect_line LINE WHAT: the program prints LINE (a whole line, a grep
# pattern) within 10 s, else the test fails naming WHAT and its last line.
e2e_line_or_end() { e2e_out | grep -qx "$1" || e2e_ended; }
e2e_expect_line() {
    e2e_until 10 e2e_line_or_end "$1" && e2e_out | grep -qx "$1" ||
        e2e_fail "$2: no '$1' (last line: $(e2e_out | tail -1))"
    e2e_log "$2: $1"
}

# e2e_shot_equals WANT_PPM NAME: a screenshot of $wid equals WANT_PPM within
# 10 s (the window may lag the program); the last is kept as NAME-ARCH.png.
e2e_shot_equals() {
    local shot=$e2e_tmp/$2.ppm differ=""
    e2e_shot_same() {
        import -window "$wid" -depth 8 "ppm:$shot" 2>/dev/null || e2e_fail "$2: no screenshot"
        differ=$(compare -metric AE "$1" "$shot" null: 2>&1)
    }
    e2e_until 10 e2e_shot_same "$@"
    mkdir -p "$e2e_shot_dir" && convert "$shot" "$e2e_shot_dir/$2-$e2e_arch.png" 2>/dev/null
    [ "$differ" = 0 ] || e2e_fail "$2: the window differs from $1 in $differ pixels" \
        "(screenshot: $e2e_shot_dir/$2-$e2e_arch.png)"
    e2e_log "$2: the window equals $1"
}
