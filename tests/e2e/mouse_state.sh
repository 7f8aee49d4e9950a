#!/usr/bin/env bash
# zq_GfxGetMouse and zq_GfxSetMouse on a GDI screen against the X pointer:
# client coordinates over the window, button bits while a button is held, the
# wheel count, -1 everywhere outside the window, and a placed pointer.
#
#   mouse_state.sh win32|win64 HOST_BUILD MOUSE_PROBE_EXE
e2e_name=mouse_state
source "$(dirname "$0")/e2e-lib.sh" "$1" "$2" || exit 1
probe_exe=$3
e2e_begin

ZQGFX=GDI e2e_start "$probe_exe"
wid=$(e2e_find_window mouse_probe 60) || e2e_fail "no window titled 'mouse_probe' appeared"
e2e_wait_line "driver: GDI" 5 || e2e_fail "the probe's screen is not on the GDI driver"

xdotool mousemove --window "$wid" 100 50
e2e_expect_line "mouse 100 50 0 0" "pointer at client (100, 50)"
xdotool mousemove --window "$wid" 321 240
e2e_expect_line "mouse 321 240 0 0" "pointer at client (321, 240)"
xdotool mousedown 1
e2e_expect_line "mouse 321 240 0 1" "left button held"
xdotool mouseup 1
e2e_expect_line "mouse 321 240 0 0" "left button released"
xdotool mousedown 3
e2e_expect_line "mouse 321 240 0 2" "right button held"
xdotool mouseup 3
e2e_expect_line "mouse 321 240 0 0" "right button released"
xdotool click 4
e2e_expect_line "mouse 321 240 1 0" "wheel up"
xdotool click 5 click 5
e2e_expect_line "mouse 321 240 -1 0" "wheel down twice"

xdotool mousemove 3 3
e2e_expect_line "mouse -1 -1 -1 -1" "pointer outside the window"

eval "$(xwininfo -id "$wid" | awk '/Absolute upper-left X/ { print "wx=" $4 } /Absolute upper-left Y/ { print "wy=" $4 }')"
xdotool key --window "$wid" s 2>/dev/null
e2e_expect_line "set 0" "zq_GfxSetMouse(100, 50, -1)"
eval "$(xdotool getmouselocation --shell)"
[ "$X,$Y" = "$((wx + 100)),$((wy + 50))" ] ||
    e2e_fail "the X pointer is at ($X, $Y), not at the window's (100, 50) = ($((wx + 100)), $((wy + 50)))"
e2e_log "X pointer at ($X, $Y): the window's client point (100, 50)"

xdotool key --window "$wid" q 2>/dev/null
e2e_wait_exit 10 || e2e_fail "the probe did not end on 'q'"
[ "$e2e_status" = 0 ] || e2e_fail "exit status $e2e_status"
e2e_log "ok"
