#!/usr/bin/env bash
# zq_GfxMultikey follows held keys: while `xdotool keydown` holds a key its
# scan code reads -1, and 0 again after `keyup`, on each driver named.
#
#   mouse_keys.sh win32|win64 HOST_BUILD MOUSE_PROBE_EXE [DRIVER...]   (default GDI OpenGL)
e2e_name=mouse_keys
source "$(dirname "$0")/e2e-lib.sh" "$1" "$2" || exit 1
probe_exe=$3
shift 3
drivers=("$@")
[ ${#drivers[@]} -gt 0 ] || drivers=(GDI OpenGL)
e2e_begin

# X key name | scan code
keys=("a|30" "Up|72" "Shift_L|42")
for driver in "${drivers[@]}"; do
    ZQGFX=$driver e2e_start "$probe_exe"
    wid=$(e2e_find_window mouse_probe 60) || e2e_fail "$driver: no window titled 'mouse_probe'"
    e2e_wait_line "driver: $driver" 5 || e2e_fail "the probe's screen is not on the $driver driver"
    xdotool windowfocus --sync "$wid" 2>/dev/null
    for entry in "${keys[@]}"; do
        key=${entry%%|*}
        scan=${entry#*|}
        xdotool keydown "$key"
        e2e_expect_line "key $scan -1" "$driver: $key held"
        xdotool keyup "$key"
        e2e_expect_line "key $scan 0" "$driver: $key released"
    done
    xdotool key --window "$wid" q 2>/dev/null
    e2e_wait_exit 10 || e2e_fail "$driver: the probe did not end on 'q'"
    [ "$e2e_status" = 0 ] || e2e_fail "$driver: exit status $e2e_status"
    e2e_window_gone "$wid" 5
done
e2e_log "ok"
