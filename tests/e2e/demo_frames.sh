#!/usr/bin/env bash
# The demo's window shows the frames the demo draws: its client area equals
# the framebuffer after some number of frames, and a later look shows more.
#
#   demo_frames.sh win32|win64 HOST_BUILD ZQDEMO_EXE
e2e_name=demo_frames
source "$(dirname "$0")/e2e-lib.sh" "$1" "$2" || exit 1
demo_exe=$3
e2e_begin

e2e_start "$demo_exe"
wid=$(e2e_find_window zqdemo 60) || e2e_fail "no window titled 'zqdemo' appeared"
size=$(e2e_window_size "$wid")
[ "$size" = 640x480 ] || e2e_fail "the window's client area is $size, not 640x480"

sleep 1
first=$(e2e_matching_frame "$wid") || e2e_fail "no screenshot matched any frame"
sleep 1.5
second=$(e2e_matching_frame "$wid") || e2e_fail "no later screenshot matched any frame"
e2e_log "the window showed frame $first, then frame $second"
[ "$second" -gt "$first" ] || e2e_fail "the later frame count $second is not above $first"
e2e_log "ok"
