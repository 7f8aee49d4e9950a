#!/usr/bin/env bash
# The demo without a display ("ZQGFX" = "null") ends on a key typed at its
# terminal (a letter, an arrow) and, for the Linux build, on the terminal going
# away, giving the terminal back in its own mode. It runs in a pane of a private
# tmux server whose shell writes its exit status to a file.
#   console_keys.sh host|win32|win64 DEMO
set -u
arch=$1
launch=$2
tmp=$(mktemp -d)
socket="zqkeys$$"
session="keys$$"
tmux_() { tmux -L "$socket" "$@"; }
trap 'tmux_ kill-server 2>/dev/null; rm -f "${TMUX_TMPDIR:-/tmp}/tmux-$(id -u)/$socket"; rm -rf "$tmp"' EXIT
fail() {
    echo "console_keys ($arch): FAIL: $*" >&2
    exit 1
}

if [ "$arch" != host ]; then
    source "$(dirname "$0")/../../scripts/wine-env.sh" "$arch" || exit 1
    if [ "$arch" = win32 ] && ! zq_runs_32bit; then
        echo "console_keys: SKIPPED: this kernel runs no 32-bit programs"
        exit 0
    fi
    unset DISPLAY
    zq_wine_prefix_ready || fail "no Wine prefix"
    launch="$ZQ_WINE $launch"
fi

# wait_for SECONDS COMMAND...: until the command succeeds.
wait_for() {
    local limit=$(($1 * 10))
    shift
    for ((i = 0; i < limit; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

pane_is_raw() {
    local tty
    tty=$(tmux_ display-message -p -t "$session" '#{pane_tty}' 2>/dev/null) || return 1
    stty -a -F "$tty" 2>/dev/null | grep -q -- '-icanon'
}

# start_demo PRELUDE: the demo in a fresh pane, PRELUDE run before it by the pane's shell.
start_demo() {
    rm -f "$tmp/status" "$tmp/before" "$tmp/after"
    tmux_ new-session -d -s "$session" -x 80 -y 24 \
        "$1 stty -g >'$tmp/before'; ZQGFX=null $launch; echo \$? >'$tmp/status';
         stty -g >'$tmp/after'" || fail "tmux did not start"
    # The demo (or Wine's console) switches the terminal to raw input once it reads keys.
    wait_for 90 pane_is_raw || fail "the demo never read its terminal"
    sleep 0.5
}

expect_status_0() {
    wait_for 30 test -s "$tmp/status" || fail "$1: the demo did not end"
    [ "$(cat "$tmp/status")" = 0 ] || fail "$1: exit status $(cat "$tmp/status")"
    echo "console_keys ($arch): $1 ended the demo with status 0"
}

for key in a Up; do
    start_demo ""
    sleep 1
    [ -e "$tmp/status" ] && fail "the demo ended before any key"
    tmux_ send-keys -t "$session" "$key"
    expect_status_0 "key $key"
    if [ "$arch" = host ]; then
        wait_for 5 test -s "$tmp/after" || fail "key $key: no terminal settings after the demo"
        cmp -s "$tmp/before" "$tmp/after" || fail "key $key: the terminal was left in another mode"
    fi
    tmux_ kill-session -t "$session" 2>/dev/null
done

if [ "$arch" = host ]; then
    start_demo "trap : HUP;"  # the pane's shell outlives the hang-up to record the status
    tmux_ kill-session -t "$session"
    expect_status_0 "closing the terminal"
fi
echo "console_keys ($arch): ok"
