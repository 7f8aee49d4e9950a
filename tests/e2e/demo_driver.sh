#!/usr/bin/env bash
# "ZQGFX" picks the display driver: a GDI name in any case gives the GDI
# driver (the probe opens the demo's screen and names its driver); "null"
# gives no window at all, and the demo then runs until it is stopped.
#
#   demo_driver.sh win32|win64 HOST_BUILD ZQDEMO_EXE DRIVER_PROBE_EXE
e2e_name=demo_driver
source "$(dirname "$0")/e2e-lib.sh" "$1" "$2" || exit 1
demo_exe=$3
probe_exe=$4
e2e_begin

# setting | driver the probe must name
cases=("gDi|GDI" "GDI|GDI" "NuLL|Null")
for entry in "${cases[@]}"; do
    setting=${entry%%|*}
    want=${entry#*|}
    ZQGFX=$setting e2e_start "$probe_exe"
    e2e_wait_exit 60 || e2e_fail "ZQGFX=$setting: the probe did not end"
    got=$(tr -d '\r' <"$e2e_tmp/out" | sed -n 's/^driver: //p')
    [ "$e2e_status" = 0 ] && [ "$got" = "$want" ] ||
        e2e_fail "ZQGFX=$setting: driver '$got' (status $e2e_status), not '$want'"
    e2e_log "ZQGFX=$setting: driver $got"
done

ZQGFX=null e2e_start "$demo_exe"
if wid=$(e2e_find_window zqdemo 5); then
    e2e_fail "ZQGFX=null: a window appeared ($wid)"
fi
e2e_running "$demo_pid" || e2e_fail "ZQGFX=null: the demo ended by itself"
e2e_stop_demo
e2e_log "ZQGFX=null: no window in 5 s; demo stopped"
e2e_log "ok"
