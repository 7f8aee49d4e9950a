#!/usr/bin/env bash
# Runs the demo under Wine. With a display it just runs. Without one it starts
# its own Xvfb, lets the demo run a few seconds, saves a screenshot of its
# window, presses a key and reports the exit status. Everything it starts is
# stopped by process id.
#
#   run-demo.sh win32|win64 [SCREENSHOT]
set -u
here=$(cd "$(dirname "$0")" && pwd)
arch=$1
shot=${2:-build/demo.png}
source "$here/wine-env.sh" "$arch" || exit 1
exe=$zq_root/build/$arch/zqdemo.exe
title=zqdemo
echo "demo: running the $([ "$arch" = win32 ] && echo 32-bit product || echo 64-bit build) ($exe)"
zq_wine_prefix_ready || exit 1

if [ -n "${DISPLAY:-}" ]; then
    exec "$ZQ_WINE" "$exe"
fi

xvfb_pid=""; demo_pid=""
cleanup() {
    [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null
    wineserver -k 2>/dev/null  # this prefix's server only
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT

for n in $(seq 90 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || { display=:$n; break; }
done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$ZQ_WINE" "$exe" &
demo_pid=$!

wid=""
for _ in $(seq 300); do  # Wine starts slowly
    wid=$(xdotool search --name "^$title\$" 2>/dev/null | head -1)
    [ -n "$wid" ] && break
    kill -0 "$demo_pid" 2>/dev/null || break
    sleep 0.1
done

if [ -z "$wid" ]; then
    sleep 3
    echo "demo: no window opened (no display driver could start); stopping it after a few seconds"
    kill "$demo_pid" 2>/dev/null
    wait "$demo_pid" 2>/dev/null
    echo "demo: stopped, exit status $?"
    demo_pid=""
    exit 0
fi

sleep 3
import -window "$wid" "$shot" && echo "demo: screenshot saved as $shot"
xdotool key --window "$wid" a
for _ in $(seq 50); do kill -0 "$demo_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$demo_pid" 2>/dev/null; then
    echo "demo: still running one key press later; stopping it"
    kill "$demo_pid"
fi
wait "$demo_pid"
echo "demo: exit status $?"
demo_pid=""
