#!/usr/bin/env bash
# The demo without a display ("ZQGFX" = "null") ends on a key typed at its
# terminal: a letter, an arrow and, for the Linux build, the terminal going
# away. The terminal is given back in the mode it was in.
#   console_keys.sh host|win32|win64 DEMO
# The demo runs in a tmux pane of a private tmux server; its exit status is
# written to a file by the pane's shell.
set -u
arch=$1
demo=$2
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
socket="zqkeys$$"
session="keys$$"
tmux_() { tmux -L "$socket" "$@"; }
cleanup() {
    tmux_ kill-server 2>/dev/null
    rm -f "${TMUX_TMPDIR:-/tmp}/tmux-$(id -u)/$socket"
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
    echo "console_keys ($arch): FAIL: $*" >&2
    exit 1
}

launch=$demo
if [ "$arch" != host ]; then
    source "$here/../../scripts/wine-env.sh" "$arch" || exit 1
    if [ "$arch" = win32 ] && ! zq_runs_32bit; then
        echo "console_keys: SKIPPED: this kernel runs no 32-bit programs"
        exit 0
    fi
    unset DISPLAY
    zq_wine_prefix_ready || fail "no Wine prefix"
    launch="$ZQ_WINE $demo"
fi

# Waits up to $1 seconds for the command $2... to succeed.
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

# Starts the demo in a fresh pane; `prelude` runs before it in the pane's shell.
start_demo() {
    local prelude=$1
    rm -f "$tmp/status" "$tmp/before" "$tmp/after"
    tmux_ new-session -d -s "$session" -x 80 -y 24 \
        "$prelude stty -g >'$tmp/before'; ZQGFX=null $launch; echo \$? >'$tmp/status';
         stty -g >'$tmp/after'" || fail "tmux did not start"
    # The demo (or Wine's console) switches the terminal to raw input once it reads keys.
    wait_for 90 pane_is_raw || fail "the demo never read its terminal"
    sleep 0.5
}

expect_status_0() {
    wait_for 30 test -s "$tmp/status" || fail "$1: the demo did not end"
    local status
    status=$(cat "$tmp/status")
    [ "$status" = 0 ] || fail "$1: exit status $status"
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
    echo "console_keys ($arch): key $key ended the demo with status 0"
done

if [ "$arch" = host ]; then
    # The pane's shell outlives the hang-up to record the status.
    start_demo "trap : HUP;"
    tmux_ kill-session -t "$session"
    expect_status_0 "closed terminal"
    echo "console_keys ($arch): closing the terminal ended the demo with status 0"
fi
echo "console_keys ($arch): ok"
