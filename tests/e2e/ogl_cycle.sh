#!/usr/bin/env bash
# Opens and closes the OpenGL screen 100 times in one process (the screen
# cycle program) and checks that no thread, handle, window, module or memory
# is left behind.
#
#   ogl_cycle.sh win32|win64 HOST_BUILD SCREEN_CYCLE_EXE
e2e_name=ogl_cycle
source "$(dirname "$0")/e2e-lib.sh" "$1" "$2" || exit 1
cycle_exe=$3
e2e_begin

e2e_start "$cycle_exe" 100 OpenGL
e2e_wait_exit 90 || e2e_fail "still running after 90 s"
tr -d '\r' <"$e2e_tmp/out" | grep '^screen_cycle'
[ "$e2e_status" = 0 ] || e2e_fail "exit status $e2e_status"
e2e_log "ok"
