#!/usr/bin/env bash
# Full screen. On a 640x480 X screen the DirectX driver takes the display in
# full screen and shows the frames. On a 1024x768 X screen, which offers no
# 640x480 mode, the open fails cleanly and the next attempt takes the screen.
#
#   ddraw_fullscreen.sh win32|win64 HOST_BUILD DDRAW_PROBE_EXE
e2e_name=ddraw_fullscreen
source "$(dirname "$0")/ddraw_lib.sh" "$1" "$2" || exit 1
probe_exe=$3
unset ZQGFX

E2E_SCREEN=640x480x24 e2e_begin
e2e_start "$probe_exe" --fullscreen --frames
wid=$(e2e_find_window ddraw_probe 60) || e2e_fail "no window titled 'ddraw_probe' appeared"
ddraw_wait_line "driver: DirectX fullscreen: 1 refresh: [0-9]*" ||
    e2e_fail "not a full-screen DirectX display: $(tr -d '\r' <"$e2e_tmp/out" | grep '^driver: ')"
line=$(tr -d '\r' <"$e2e_tmp/out" | grep '^driver: ')
e2e_log "640x480 screen: $line"
sleep 1
first=$(e2e_matching_frame "$wid") || e2e_fail "no screenshot matched any frame"
sleep 1
second=$(e2e_matching_frame "$wid") || e2e_fail "no later screenshot matched any frame"
e2e_log "the screen showed frame $first, then frame $second"
[ "$second" -gt "$first" ] || e2e_fail "the later frame count $second is not above $first"
xdotool key --window "$wid" a 2>/dev/null
e2e_wait_exit 10 || e2e_fail "the probe did not end at a key press"
[ "$e2e_status" = 0 ] || e2e_fail "the probe ended with status $e2e_status"
e2e_cleanup
trap - EXIT
e2e_xvfb_pid=""
e2e_wm_pid=""

e2e_begin
line=$(ddraw_probe_line "$probe_exe" --fullscreen) || exit 1
e2e_log "1024x768 screen: $line"
[[ $line != "driver: DirectX fullscreen: 1 "* ]] || e2e_fail "DirectX claims a 640x480 full screen"
e2e_log "ok"
