# Shared by the end-to-end scripts:  source e2e-lib.sh win32|win64 HOST_BUILD
#
# e2e_begin starts a private Xvfb (its number chosen by the server itself)
# with zqwm as its window manager, and readies this architecture's end-to-end
# Wine prefix, kept apart from the unit tests' prefix so that its server
# always talks to our display. HOST_BUILD is the host build folder (zqwm,
# zqxclose, zqframes). Whatever a script starts is stopped on exit, also on
# failure: the demo by process id, the prefix's own Wine server with
# `wineserver -k`, the window manager and Xvfb by process id.
set -u
e2e_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export ZQ_WINEPREFIX=${ZQ_E2E_WINEPREFIX:-$e2e_root/build/wineprefix-e2e-$1}
source "$e2e_root/scripts/wine-env.sh" "$1" || exit 1
e2e_arch=$1
e2e_host=${2:-}
e2e_tmp=""
e2e_xvfb_pid=""
e2e_wm_pid=""
demo_pid=""

e2e_log() { echo "${e2e_name:-e2e} ($e2e_arch): $*"; }
e2e_fail() {
    e2e_log "FAIL: $*"
    exit 1
}

e2e_cleanup() {
    e2e_stop_demo
    [ -n "$e2e_tmp" ] && wineserver -k 2>/dev/null
    [ -n "$e2e_wm_pid" ] && kill "$e2e_wm_pid" 2>/dev/null && wait "$e2e_wm_pid" 2>/dev/null
    [ -n "$e2e_xvfb_pid" ] && kill "$e2e_xvfb_pid" 2>/dev/null && wait "$e2e_xvfb_pid" 2>/dev/null
    [ -n "$e2e_tmp" ] && rm -rf "$e2e_tmp"
}

e2e_start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$e2e_tmp/display" >/dev/null 2>&1 &
    e2e_xvfb_pid=$!
    local _
    for _ in $(seq 100); do
        if grep -q '^[0-9]*$' "$e2e_tmp/display" 2>/dev/null && [ -s "$e2e_tmp/display" ]; then
            export DISPLAY=:$(head -1 "$e2e_tmp/display")
            return 0
        fi
        kill -0 "$e2e_xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    e2e_fail "Xvfb did not start"
}

e2e_start_wm() {
    "$e2e_host/zqwm" &
    e2e_wm_pid=$!
    sleep 0.2
    kill -0 "$e2e_wm_pid" 2>/dev/null || e2e_fail "the window manager did not start"
}

e2e_begin() {
    e2e_tmp=$(mktemp -d)
    trap e2e_cleanup EXIT
    trap 'exit 1' INT TERM HUP
    [ -x "$e2e_host/zqwm" ] || e2e_fail "no $e2e_host/zqwm: build the host stage first (make host)"
    unset DISPLAY
    zq_wine_prefix_ready || e2e_fail "cannot make the Wine prefix $WINEPREFIX"
    wineserver -k 2>/dev/null  # a server left by an earlier run may know another display
    e2e_start_xvfb
    e2e_start_wm
}

# e2e_start PROGRAM [ARGS...]: runs a Windows program in the background, its
# output in $e2e_tmp/out (Wine's helper processes inherit it and outlive the
# program). The environment passes through, so `ZQGFX=... e2e_start` works.
e2e_start() {
    "$ZQ_WINE" "$@" </dev/null >"$e2e_tmp/out" 2>&1 &
    demo_pid=$!
}

e2e_running() {
    local state
    [ -r "/proc/$1/stat" ] || return 1
    state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1)
    [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

e2e_now_ms() { echo $(($(date +%s%N) / 1000000)); }

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
    return 0
}

e2e_stop_demo() {
    [ -n "$demo_pid" ] || return 0
    kill "$demo_pid" 2>/dev/null
    e2e_wait_exit 2 || { kill -9 "$demo_pid" 2>/dev/null; wait "$demo_pid" 2>/dev/null; }
    demo_pid=""
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

# e2e_window_size WID: prints WIDTHxHEIGHT.
e2e_window_size() {
    xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'
}

# e2e_matching_frame WID: prints the frame count whose framebuffer the demo's
# window shows (zqframes --match). The update thread may copy while a sector
# is half drawn, so a few screenshots are allowed.
e2e_matching_frame() {
    local wid=$1 attempt result
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

# e2e_cpu_ticks PID: user plus system time of the whole process (all threads).
e2e_cpu_ticks() {
    sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}
