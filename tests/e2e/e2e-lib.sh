# Shared by the end-to-end scripts:  source e2e-lib.sh host|win32|win64 HOST_BUILD
#
# e2e_begin starts a private Xvfb (its number chosen by the server itself) with
# zqwm as its window manager and, for a Windows build, readies that
# architecture's end-to-end Wine prefix, kept apart from the unit tests' prefix
# so that its server always talks to our display; "host" runs the Linux build's
# programs natively. HOST_BUILD is the host build folder (zqwm, zqxclose,
# zqframes, zqprobe). Whatever a script starts is stopped on exit, also on
# failure: the program by process id, the prefix's own Wine server with
# `wineserver -k`, the window manager and Xvfb by process id.
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
e2e_now_ms() { echo $(($(date +%s%N) / 1000000)); }

e2e_wine() { [ "$e2e_arch" != host ]; }

e2e_cleanup() {
    e2e_stop_demo
    [ -n "$e2e_tmp" ] && e2e_wine && wineserver -k 2>/dev/null
    [ -n "$e2e_wm_pid" ] && kill "$e2e_wm_pid" 2>/dev/null && wait "$e2e_wm_pid" 2>/dev/null
    [ -n "$e2e_xvfb_pid" ] && kill "$e2e_xvfb_pid" 2>/dev/null && wait "$e2e_xvfb_pid" 2>/dev/null
    [ -n "$e2e_tmp" ] && rm -rf "$e2e_tmp"
    e2e_tmp="" e2e_wm_pid="" e2e_xvfb_pid=""
}

# e2e_begin [WxHxDEPTH]: the X screen (default 1024x768x24; more Xvfb options
# in E2E_XVFB_ARGS), its window manager and a Wine server that talks to it.
# Again after e2e_cleanup for another screen.
e2e_begin() {
    e2e_tmp=$(mktemp -d)
    trap e2e_cleanup EXIT
    trap 'exit 1' INT TERM HUP
    [ -x "$e2e_host/zqwm" ] || e2e_fail "no $e2e_host/zqwm: build the host stage first (make host)"
    unset DISPLAY
    if e2e_wine; then
        zq_wine_prefix_ready || e2e_fail "cannot make the Wine prefix $WINEPREFIX"
        wineserver -k 2>/dev/null  # a server left by an earlier run may know another display
    fi
    # shellcheck disable=SC2086 # the options are words
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768x24}" -nolisten tcp ${E2E_XVFB_ARGS:-} \
        3>"$e2e_tmp/display" >/dev/null 2>&1 &
    e2e_xvfb_pid=$!
    local _
    for _ in $(seq 100); do
        [ -s "$e2e_tmp/display" ] && grep -q '^[0-9]*$' "$e2e_tmp/display" && break
        kill -0 "$e2e_xvfb_pid" 2>/dev/null || e2e_fail "Xvfb did not start"
        sleep 0.1
    done
    export DISPLAY=:$(head -1 "$e2e_tmp/display")
    "$e2e_host/zqwm" &
    e2e_wm_pid=$!
    sleep 0.2
    kill -0 "$e2e_wm_pid" 2>/dev/null || e2e_fail "the window manager did not start"
}

# e2e_start PROGRAM [ARGS...]: runs the program (under Wine for a Windows
# build) in the background, its output in $e2e_tmp/out (Wine's helper
# processes inherit it and outlive the program). The environment passes
# through, so `ZQGFX=... e2e_start` works.
e2e_start() {
    if e2e_wine; then set -- "$ZQ_WINE" "$@"; fi
    "$@" </dev/null >"$e2e_tmp/out" 2>&1 &
    demo_pid=$!
}

e2e_running() {
    local state
    [ -r "/proc/$1/stat" ] || return 1
    state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1)
    [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

# e2e_wait_exit SECONDS: waits up to SECONDS for the program to end; sets
# e2e_status to its exit status. Fails (1) when it is still running.
e2e_wait_exit() {
    local deadline=$(($(e2e_now_ms) + $(awk "BEGIN { print int($1 * 1000) }")))
    while e2e_running "$demo_pid"; do
        [ "$(e2e_now_ms)" -ge "$deadline" ] && return 1
        sleep 0.01
    done
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

# e2e_run PROGRAM [ARGS...]: runs a program to its end (60 s at most) and
# fails the test unless it ends with status 0.
e2e_run() {
    e2e_start "$@"
    e2e_wait_exit 60 || e2e_fail "$* did not end"
    [ "$e2e_status" = 0 ] || e2e_fail "$* ended with status $e2e_status ($(e2e_out | tail -1))"
}

# e2e_driver_line PROGRAM [ARGS...]: e2e_run, then sets line to its "driver: " line.
e2e_driver_line() {
    e2e_run "$@"
    line=$(e2e_out | grep '^driver: ')
}

# e2e_find_window TITLE SECONDS: prints the id of the program's visible window
# of that title; fails when none appears in time or the program ends first.
e2e_find_window() {
    local deadline=$(($(e2e_now_ms) + $2 * 1000)) wid
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        wid=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
        [ -n "$wid" ] && { echo "$wid"; return 0; }
        e2e_running "$demo_pid" || return 1
        sleep 0.1
    done
    return 1
}

# e2e_window TITLE: sets wid to the program's window, which must come within
# 60 s with a 640x480 client area.
e2e_window() {
    wid=$(e2e_find_window "$1" 60) || e2e_fail "no window titled '$1' appeared"
    local size
    size=$(xwininfo -id "$wid" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
    [ "$size" = 640x480 ] || e2e_fail "the window's client area is $size, not 640x480"
}

# e2e_window_gone WID SECONDS: waits until the X window no longer exists (an
# ended program's windows linger until the server notices its connection
# closed; a search meanwhile would find them).
e2e_window_gone() {
    local deadline=$(($(e2e_now_ms) + $2 * 1000))
    while xwininfo -id "$1" >/dev/null 2>&1; do
        [ "$(e2e_now_ms)" -ge "$deadline" ] && return 1
        sleep 0.05
    done
}

# e2e_release_key KEY: a program gone before xdotool's key release leaves the
# key held (and repeating) in the X server for the next program.
e2e_release_key() { [ "$1" = close ] || xdotool keyup "$1" 2>/dev/null; }

# e2e_end_by_key KEY: the key typed into the focused window $wid ends the
# program with status 0 within 10 s, and its window goes.
e2e_end_by_key() {
    xdotool windowfocus --sync "$wid" key "$1" 2>/dev/null
    e2e_wait_exit 10 || e2e_fail "still running 10 s after the key $1"
    [ "$e2e_status" = 0 ] || e2e_fail "exit status $e2e_status after the key $1"
    e2e_window_gone "$wid" 5 || e2e_fail "the window outlived the program"
    e2e_release_key "$1"
}

# e2e_matching_frame: prints the frame count whose framebuffer the window $wid
# shows (zqframes --match). The update thread may copy while a sector is half
# drawn, so a few screenshots are allowed.
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

# e2e_frames_advance SECONDS [HZ]: the window $wid shows a frame of the demo,
# and SECONDS later a later one; with HZ, the frames between them must come
# within 10% of HZ per second. Logs the frame rate and the CPU use.
e2e_frames_advance() {
    sleep 1
    local t0 t1 c0 c1 first second report
    t0=$(e2e_now_ms)
    first=$(e2e_matching_frame) || e2e_fail "no screenshot matched any frame"
    c0=$(e2e_cpu_ticks "$demo_pid")
    sleep "$1"
    c1=$(e2e_cpu_ticks "$demo_pid")
    t1=$(e2e_now_ms)
    second=$(e2e_matching_frame) || e2e_fail "no later screenshot matched any frame"
    e2e_log "the window showed frame $first, then frame $second $((t1 - t0)) ms later"
    [ "$second" -gt "$first" ] || e2e_fail "the later frame count $second is not above $first"
    report=$(awk -v f="$((second - first))" -v ms="$((t1 - t0))" -v hz="${2:-0}" \
        -v c="$((c1 - c0))" -v tck="$(getconf CLK_TCK)" 'BEGIN {
        fps = f / (ms / 1000)
        printf "%.1f frames per second; CPU use %.1f%% of one core\n", fps, 100 * c / tck / (ms / 1000)
        exit (hz > 0 && (fps < hz * 0.9 || fps > hz * 1.1)) }') ||
        e2e_fail "$report: not within 10% of $2 Hz"
    e2e_log "$report"
}

# e2e_wait_line LINE SECONDS: waits for the program to print LINE (a whole
# line, a grep pattern); fails when it does not in time or the program ends first.
e2e_wait_line() {
    local deadline=$(($(e2e_now_ms) + $2 * 1000))
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        e2e_out | grep -qx "$1" && return 0
        e2e_running "$demo_pid" || return 1
        sleep 0.05
    done
    return 1
}

# e2e_expect_line LINE WHAT: e2e_wait_line for 10 s, logged; fails the test
# (naming WHAT and the program's last line) when the line does not come.
e2e_expect_line() {
    e2e_wait_line "$1" 10 || e2e_fail "$2: no '$1' (last line: $(e2e_out | tail -1))"
    e2e_log "$2: $1"
}

# e2e_shot_equals WANT_PPM NAME: takes screenshots of the window $wid until one
# equals WANT_PPM in red, green and blue (the X screen has no alpha) or 10 s
# have passed; the window may still be catching up with the program. Keeps
# the last screenshot as NAME-ARCH.png.
e2e_shot_equals() {
    local shot=$e2e_tmp/$2.ppm differ="" deadline=$(($(e2e_now_ms) + 10000))
    while :; do
        import -window "$wid" -depth 8 "ppm:$shot" 2>/dev/null || e2e_fail "$2: no screenshot"
        differ=$(compare -metric AE "$1" "$shot" null: 2>&1) && break
        [ "$(e2e_now_ms)" -ge "$deadline" ] && break
        sleep 0.2
    done
    mkdir -p "$e2e_shot_dir" && convert "$shot" "$e2e_shot_dir/$2-$e2e_arch.png" 2>/dev/null
    [ "$differ" = 0 ] || e2e_fail "$2: the window differs from the host's framebuffer in $differ" \
        "pixels (screenshot: $e2e_shot_dir/$2-$e2e_arch.png)"
    e2e_log "$2: the window equals the host's framebuffer"
}
