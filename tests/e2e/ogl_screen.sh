#!/usr/bin/env bash
# The OpenGL driver: a screen opened with the OpenGL flag shows what the
# program clears it to with glClear (looked up by zq_GfxGetGLProcAddress),
# "ZQGFX=OpenGL" without the flag falls through to the list's first driver
# (DirectX), and a demo-like frame loop runs at the refresh rate with little CPU.
#
#   ogl_screen.sh win32|win64 HOST_BUILD OGL_PROBE_EXE DRIVER_PROBE_EXE
# The screenshot is kept as ogl_clear.png in the current folder.
e2e_name=ogl_screen
source "$(dirname "$0")/e2e-lib.sh" "$1" "$2" || exit 1
ogl_exe=$3
driver_probe_exe=$4
e2e_begin

e2e_start "$ogl_exe" clear 3060C0
wid=$(e2e_find_window ogl_probe 60) || e2e_fail "no window titled 'ogl_probe' appeared"
e2e_wait_line ready 10 || e2e_fail "no first frame (output: $(tr -d '\r' <"$e2e_tmp/out" | tr '\n' ' '))"
tr -d '\r' <"$e2e_tmp/out" | grep -qx "driver: OpenGL" || e2e_fail "the screen is not on the OpenGL driver"
tr -d '\r' <"$e2e_tmp/out" | grep -qx "glClear: found" || e2e_fail "zq_GfxGetGLProcAddress(\"glClear\") is null"
size=$(e2e_window_size "$wid")
[ "$size" = 640x480 ] || e2e_fail "the client area is $size, not 640x480"
sleep 0.3
import -window "$wid" ogl_clear.png || e2e_fail "no screenshot"
colours=$(convert ogl_clear.png -format '%c' histogram:info:- | sed 's/^ *//')
[ "$(echo "$colours" | wc -l)" = 1 ] && echo "$colours" | grep -q '^307200: (48,96,192)' ||
    e2e_fail "the window is not all 0x3060C0: $colours"
e2e_log "glClear(0x3060C0): all 307200 pixels of the window have that colour"
xdotool key --window "$wid" a 2>/dev/null
e2e_wait_exit 10 || e2e_fail "the probe did not end on a key"
[ "$e2e_status" = 0 ] || e2e_fail "exit status $e2e_status"
e2e_window_gone "$wid" 5

ZQGFX=OpenGL e2e_start "$driver_probe_exe"
e2e_wait_exit 60 || e2e_fail "ZQGFX=OpenGL: the driver probe did not end"
got=$(tr -d '\r' <"$e2e_tmp/out" | sed -n 's/^driver: //p')
[ "$got" = DirectX ] || e2e_fail "ZQGFX=OpenGL without the OpenGL flag: driver '$got', not DirectX"
e2e_log "ZQGFX=OpenGL without the OpenGL flag: driver $got"

e2e_start "$ogl_exe" pace 5
e2e_wait_exit 60 || e2e_fail "the frame loop did not end"
line=$(tr -d '\r' <"$e2e_tmp/out" | grep '^pace:') || e2e_fail "no frame rate reported"
e2e_log "${line#pace: }"
echo "$line" | awk '{
    for (i = 1; i <= NF; ++i) {
        if ($i == "expected") expected = $(i + 1)
        if ($i == "fps," && $(i - 2) == "=") fps = $(i - 1)
        if ($i == "CPU") cpu = $(i + 1) + 0
    }
    off = (fps - expected) / expected; if (off < 0) off = -off
    exit !(off <= 0.10 && cpu < 25)
}' || e2e_fail "the frame rate is not within 10% of the expected one, or the CPU use is not low"
e2e_log "ok"
