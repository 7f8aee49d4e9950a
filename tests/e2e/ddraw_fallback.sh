#!/usr/bin/env bash
# Without DirectDraw (ddraw.dll disabled) the DirectX driver fails to open and
# the demo falls through to GDI, showing the same frames.
#
#   ddraw_fallback.sh win32|win64 HOST_BUILD ZQDEMO_EXE DDRAW_PROBE_EXE
e2e_name=ddraw_fallback
source "$(dirname "$0")/ddraw_lib.sh" "$1" "$2" || exit 1
demo_exe=$3
probe_exe=$4
e2e_begin
unset ZQGFX
export WINEDLLOVERRIDES=ddraw=d

line=$(ddraw_probe_line "$probe_exe") || exit 1
e2e_log "probe: $line"
[[ $line == "driver: GDI fullscreen: 0 "* ]] || e2e_fail "the screen did not fall through to GDI"

e2e_start "$demo_exe"
wid=$(e2e_find_window zqdemo 60) || e2e_fail "no window titled 'zqdemo' appeared"
sleep 1
first=$(e2e_matching_frame "$wid") || e2e_fail "no screenshot matched any frame"
sleep 1
second=$(e2e_matching_frame "$wid") || e2e_fail "no later screenshot matched any frame"
e2e_log "the window showed frame $first, then frame $second"
[ "$second" -gt "$first" ] || e2e_fail "the later frame count $second is not above $first"
e2e_log "ok"
