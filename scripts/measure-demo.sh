#!/usr/bin/env bash
# Measures the demo in a window on a private Xvfb (report only, no verdict):
# its CPU use while it runs (both threads together: user plus system time of
# the Wine process over a few seconds) and the time from a key press to the
# end of the process. Build first (`make host` and `make win64` / `make win32`).
#
#   measure-demo.sh [win32|win64] [SECONDS] [ZQDEMO_EXE]
arch=${1:-win64}
seconds=${2:-5}
e2e_name=measure
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/e2e/e2e-lib.sh" "$arch" "$here/../build/host" || exit 1
demo_exe=${3:-$e2e_root/build/$arch/zqdemo.exe}
[ -x "$demo_exe" ] || e2e_fail "$demo_exe is missing; run make $arch first"
e2e_begin

e2e_start "$demo_exe"
wid=$(e2e_find_window zqdemo 60) || e2e_fail "no window titled 'zqdemo' appeared"
sleep 1
# The frames shown at both ends of the interval give the drawing rate; the X
# server's time is the cost of showing them that falls outside the process.
ticks_per_s=$(getconf CLK_TCK)
ft0=$(e2e_now_ms)
f0=$(e2e_matching_frame "$wid")
t0=$(e2e_now_ms)
c0=$(e2e_cpu_ticks "$demo_pid")
x0=$(e2e_cpu_ticks "$e2e_xvfb_pid")
sleep "$seconds"
c1=$(e2e_cpu_ticks "$demo_pid")
x1=$(e2e_cpu_ticks "$e2e_xvfb_pid")
t1=$(e2e_now_ms)
f1=$(e2e_matching_frame "$wid")
ft1=$t1
awk -v c="$((c1 - c0))" -v x="$((x1 - x0))" -v hz="$ticks_per_s" -v ms="$((t1 - t0))" \
    -v f0="${f0:-?}" -v f1="${f1:-?}" -v fs="$((ft1 - ft0))" -v arch="$arch" 'BEGIN {
    s = ms / 1000
    printf "measure (%s): CPU use of the demo (both threads): %.1f%% of one core (%.2f s in %.2f s)\n",
           arch, 100 * c / hz / s, c / hz, s
    printf "measure (%s): CPU use of the X server meanwhile: %.1f%% of one core\n", arch, 100 * x / hz / s
    if (f0 != "?" && f1 != "?")
        printf "measure (%s): frames drawn: about %.0f per second (frame %d to %d)\n", arch, (f1 - f0) / (fs / 1000), f0, f1
}'

start=$(e2e_now_ms)
xdotool key --window "$wid" a 2>/dev/null
e2e_wait_exit 10 || e2e_fail "the demo still runs 10 s after the key press"
e2e_log "key press to process exit: $(($(e2e_now_ms) - start)) ms (exit status $e2e_status)"
