#!/usr/bin/env bash
# With no "ZQGFX" the demo shows through DirectDraw: the probe that opens the
# same screen names the DirectX driver (and finds the X screen's 1024x768
# among the driver's 32-bit modes, with and without a screen open), and the window's client area equals
# the framebuffer at two moments 5 s apart, the later one further on. The
# frames between them give the frame rate, which must be within 10% of the
# display's refresh rate (60 Hz where the driver cannot tell); the demo's CPU
# use over the same time is printed. Last, the key state comes from the
# DirectInput keyboard: the probe sees the Up arrow (an extended key) held and
# released.
#
#   ddraw_demo.sh win32|win64 HOST_BUILD ZQDEMO_EXE DDRAW_PROBE_EXE
e2e_name=ddraw_demo
source "$(dirname "$0")/ddraw_lib.sh" "$1" "$2" || exit 1
demo_exe=$3
probe_exe=$4
e2e_begin
unset ZQGFX

line=$(ddraw_probe_line "$probe_exe" --modes) || exit 1
e2e_log "probe: $line"
for when in closed open; do
    modes=$(tr -d '\r' <"$e2e_tmp/out" | sed -n "s/^modes $when: *//p")
    e2e_log "32-bit modes, screen $when: ${modes:-none}"
    [[ " $modes " == *" 1024x768 "* ]] || e2e_fail "the screen's own mode is not listed (screen $when)"
done
[[ $line == "driver: DirectX fullscreen: 0 "* ]] || e2e_fail "the screen did not open on DirectX in a window"
refresh=$(sed -n 's/.* refresh: \([0-9]*\)$/\1/p' <<<"$line")
[ "${refresh:-0}" -gt 1 ] || refresh=60  # 0 and 1: the hardware's default rate

e2e_start "$demo_exe"
wid=$(e2e_find_window zqdemo 60) || e2e_fail "no window titled 'zqdemo' appeared"
size=$(e2e_window_size "$wid")
[ "$size" = 640x480 ] || e2e_fail "the window's client area is $size, not 640x480"
sleep 1

t0=$(e2e_now_ms)
first=$(e2e_matching_frame "$wid") || e2e_fail "no screenshot matched any frame"
c0=$(e2e_cpu_ticks "$demo_pid")
sleep 5
c1=$(e2e_cpu_ticks "$demo_pid")
t1=$(e2e_now_ms)
second=$(e2e_matching_frame "$wid") || e2e_fail "no later screenshot matched any frame"
e2e_log "the window showed frame $first, then frame $second $((t1 - t0)) ms later"
[ "$second" -gt "$first" ] || e2e_fail "the later frame count $second is not above $first"

report=$(awk -v f="$((second - first))" -v ms="$((t1 - t0))" -v hz="$refresh" \
    -v c="$((c1 - c0))" -v tck="$(getconf CLK_TCK)" 'BEGIN {
    fps = f / (ms / 1000)
    printf "%.1f frames per second (refresh %d Hz); CPU use %.1f%% of one core\n",
           fps, hz, 100 * c / tck / (ms / 1000)
    exit (fps < hz * 0.9 || fps > hz * 1.1) }')
status=$?
e2e_log "$report"
[ $status = 0 ] || e2e_fail "the frame rate is not within 10% of $refresh Hz"
e2e_stop_demo

e2e_start "$probe_exe" --hold-up
wid=$(e2e_find_window ddraw_probe 60) || e2e_fail "no window titled 'ddraw_probe' appeared"
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool keydown Up
ddraw_wait_line "up: held" || e2e_fail "the key state never showed Up held"
xdotool keyup Up
ddraw_wait_line "up: released" || e2e_fail "the key state never showed Up released"
e2e_wait_exit 10 || e2e_fail "the probe did not end"
e2e_log "Up arrow held and released in the key state"
e2e_log "ok"
