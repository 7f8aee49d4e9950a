#!/usr/bin/env bash
# Text printed on the graphics screen shows in the GDI window exactly as the
# host build draws it into its framebuffer (the sample page: a tab, a coloured
# run, a wrapped line, all high glyphs, a scroll), and the program ends with
# status 0 at a key press.
#
#   text_print.sh win32|win64 HOST_BUILD TEXT_PRINT_EXE
e2e_name=text_print
source "$(dirname "$0")/e2e-lib.sh" "$1" "$2" || exit 1
source "$(dirname "$0")/text_lib.sh"
exe=$3
host_exe=$e2e_host/text_print
text_need_host text_print
e2e_begin

"$host_exe" --ppm "$e2e_tmp/want.ppm" || e2e_fail "the host build did not draw the page"
ZQGFX=GDI e2e_start "$exe"
wid=$(e2e_find_window text_print 60) || e2e_fail "no window titled 'text_print' appeared"
size=$(e2e_window_size "$wid")
[ "$size" = 640x480 ] || e2e_fail "the window's client area is $size, not 640x480"
text_shot_equals "$wid" "$e2e_tmp/want.ppm" 10 text_print || e2e_fail "the window shows other text"
e2e_running "$demo_pid" || e2e_fail "the program ended before any key"

xdotool key space
e2e_wait_exit 10 || e2e_fail "still running 10 s after the key"
tr -d '\r' <"$e2e_tmp/out" | grep '^text_print'
[ "$e2e_status" = 0 ] || e2e_fail "exit status $e2e_status, not 0"
grep -q 'printed on GDI' "$e2e_tmp/out" || e2e_fail "the screen was not on the GDI driver"
e2e_log "ok"
