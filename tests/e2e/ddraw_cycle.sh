#!/usr/bin/env bash
# Opens and closes the DirectX screen 100 times in one process and reports
# what was left behind (threads, handles, windows, modules, memory); then
# full-screen requests on a screen without that mode, each failing cleanly in
# the mode search before the screen opens in a window.
#
#   ddraw_cycle.sh win32|win64 HOST_BUILD SCREEN_CYCLE_EXE
e2e_name=ddraw_cycle
source "$(dirname "$0")/e2e-lib.sh" "$1" "$2" || exit 1
cycle_exe=$3
limit=${E2E_CYCLE_SECONDS:-150}
e2e_begin
unset ZQGFX

# flags | cycles
for entry in "0|${E2E_DDRAW_CYCLES:-100}" "1|${E2E_DDRAW_FULLSCREEN_CYCLES:-5}"; do
    flags=${entry%%|*}
    cycles=${entry#*|}
    e2e_start "$cycle_exe" "$cycles" DirectX "$flags"
    e2e_wait_exit "$limit" || e2e_fail "flags $flags: still running after $limit s"
    tr -d '\r' <"$e2e_tmp/out" | grep '^screen_cycle' | sed "s/^/flags $flags: /"
    [ "$e2e_status" = 0 ] || e2e_fail "flags $flags: exit status $e2e_status"
done
e2e_log "ok"
