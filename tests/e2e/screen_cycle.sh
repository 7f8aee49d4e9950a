#!/usr/bin/env bash
# Runs the screen open/close cycle program on a display: it opens and closes
# the GDI screen 100 times and reports what, if anything, was left behind.
#
#   screen_cycle.sh win32|win64 HOST_BUILD SCREEN_CYCLE_EXE
e2e_name=screen_cycle
source "$(dirname "$0")/e2e-lib.sh" "$1" "$2" || exit 1
cycle_exe=$3
limit=${E2E_CYCLE_SECONDS:-90}
e2e_begin

e2e_start "$cycle_exe" 100
e2e_wait_exit "$limit" || e2e_fail "still running after $limit s"
tr -d '\r' <"$e2e_tmp/out" | grep '^screen_cycle'
[ "$e2e_status" = 0 ] || e2e_fail "exit status $e2e_status"
e2e_log "ok"
