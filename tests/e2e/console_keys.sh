#!/usr/bin/env bash
# The demo without a display ("ZQGFX" = "null") ends on a key typed at its
# terminal (a letter, an arrow) and, for the Linux build, on the terminal going
# away, giving the terminal back in its own mode. It runs in a pane of a private
# tmux server whose shell writes its exit status to a file.
#   console_keys.sh host|win32|win64 DEMO
e2e_name=console_keys
source "$(dirname "$0")/e2e-lib.sh" "$1" || exit 1
e2e_tmp=$(mktemp -d) socket="zqkeys$$" session="keys$$" launch=$2
tmux_() { tmux -L "$socket" "$@"; }
trap 'tmux_ kill-server 2>/dev/null; rm -f "${TMUX_TMPDIR:-/tmp}/tmux-$(id -u)/$socket"; e2e_cleanup' EXIT
if e2e_wine; then
    if [ "$e2e_arch" = win32 ] && ! zq_runs_32bit; then
        e2e_log "SKIPPED: this kernel runs no 32-bit programs"
        exit 0
    fi
    unset DISPLAY
    zq_wine_prefix_ready || e2e_fail "no Wine prefix"
    launch="$ZQ_WINE $launch"
fi

pane_is_raw() {
    local tty
    tty=$(tmux_ display-message -p -t "$session" '#{pane_tty}' 2>/dev/null) || return 1
    stty -a -F "$tty" 2>/dev/null | grep -q -- '-icanon'
}

# start_demo PRELUDE: the demo in a fresh pane, PRELUDE run before it by the pane's shell.
start_demo() {
    rm -f "$e2e_tmp/status" "$e2e_tmp/before" "$e2e_tmp/after"
    tmux_ new-session -d -s "$session" -x 80 -y 24 \
        "$1 stty -g >'$e2e_tmp/before'; ZQGFX=null $launch; echo \$? >'$e2e_tmp/status';
         stty -g >'$e2e_tmp/after'" || e2e_fail "tmux did not start"
    # The demo (or Wine's console) switches the terminal to raw input once it reads keys.
    e2e_until 90 pane_is_raw || e2e_fail "the demo never read its terminal"
    sleep 0.5
}

expect_status_0() {
    e2e_until 30 test -s "$e2e_tmp/status" || e2e_fail "$1: the demo did not end"
    [ "$(cat "$e2e_tmp/status")" = 0 ] || e2e_fail "$1: exit status $(cat "$e2e_tmp/status")"
    e2e_log "$1 ended the demo with status 0"
}

for key in a Up; do
    start_demo ""
    sleep 1
    [ -e "$e2e_tmp/status" ] && e2e_fail "the demo ended before any key"
    tmux_ send-keys -t "$session" "$key"
    expect_status_0 "key $key"
    if ! e2e_wine; then
        e2e_until 5 test -s "$e2e_tmp/after" || e2e_fail "key $key: no terminal settings after the demo"
        cmp -s "$e2e_tmp/before" "$e2e_tmp/after" || e2e_fail "key $key: the terminal was left in another mode"
    fi
    tmux_ kill-session -t "$session" 2>/dev/null
done

if ! e2e_wine; then
    start_demo "trap : HUP;" # the pane's shell outlives the hang-up to record the status
    tmux_ kill-session -t "$session"
    expect_status_0 "closing the terminal"
fi
e2e_log "ok"
