#!/usr/bin/env bash
# Each way of ending the demo ends it with status 0 within a second: a letter
# key, an extended key, and the window's close request as a window manager's
# close button sends it (WM_DELETE_WINDOW). The probe first shows that each
# arrives as the key string it should: "a", 0xFF 0x48 and 0xFF 0x6B.
#
#   demo_exit.sh win32|win64 HOST_BUILD ZQDEMO_EXE DRIVER_PROBE_EXE
e2e_name=demo_exit
source "$(dirname "$0")/e2e-lib.sh" "$1" "$2" || exit 1
demo_exe=$3
probe_exe=$4
zqxclose=$e2e_host/zqxclose
limit=${E2E_EXIT_SECONDS:-1}
e2e_begin

# send WAY WINDOW. xdotool's status is no verdict: a window that closes at
# the key press fails the key release that follows.
send() {
    case $1 in
    letter) xdotool key --window "$2" a 2>/dev/null ;;
    arrow) xdotool key --window "$2" Up 2>/dev/null ;;
    close) "$zqxclose" "$2" ;;
    esac
}

# way | key string the program reads
ways=("letter|61" "arrow|FF 48" "close|FF 6B")
for entry in "${ways[@]}"; do
    way=${entry%%|*}
    want=${entry#*|}
    e2e_start "$probe_exe" --key
    wid=$(e2e_find_window driver_probe 60) || e2e_fail "$way: the probe's window did not appear"
    sleep 0.5
    send "$way" "$wid"
    e2e_wait_exit 30 || e2e_fail "$way: the probe did not end"
    got=$(tr -d '\r' <"$e2e_tmp/out" | sed -n 's/^key: //p')
    [ "$got" = "$want" ] || e2e_fail "$way: the program read '$got', not '$want'"
    e2e_window_gone "$wid" 5 || e2e_fail "$way: the probe's window outlived it"

    e2e_start "$demo_exe"
    wid=$(e2e_find_window zqdemo 60) || e2e_fail "$way: no window titled 'zqdemo' appeared"
    sleep 0.5
    start=$(e2e_now_ms)
    send "$way" "$wid"
    e2e_wait_exit "$limit" || e2e_fail "$way: the demo still runs ${limit} s later"
    took=$(($(e2e_now_ms) - start))
    [ "$e2e_status" = 0 ] || e2e_fail "$way: exit status $e2e_status, not 0"
    e2e_log "$way: read as '$got'; the demo ended with status 0 after $took ms"
    e2e_window_gone "$wid" 5 || e2e_fail "$way: the window outlived the demo"
done
e2e_log "ok"
