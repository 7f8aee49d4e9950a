#!/usr/bin/env bash
# The end-to-end tests of a build in real windows on a private X screen, a
# Windows build under Wine, the host build on its X11 driver:
#   windows.sh host|win32|win64 HOST_BUILD PROBE_EXE DEMO_EXE TEST
e2e_name=$5
source "$(dirname "$0")/e2e-lib.sh" "$1" "$2" || exit 1
probe=$3
demo=$4
unset ZQGFX
# The driver that shows the framebuffer in a plain window: GDI, or X11 natively.
if e2e_wine; then window_driver=GDI; else window_driver=X11; fi

# A letter key, an extended key and the window manager's close request
# (WM_DELETE_WINDOW) each reach the probe as "a", 0xFF 0x48 and 0xFF 0x6B, and
# end the demo with status 0 within a second.
test_demo_exit() {
    local limit=${E2E_EXIT_SECONDS:-1} way want got
    for way in "a|61" "Up|FF 48" "close|FF 6B"; do
        want=${way#*|} way=${way%%|*}
        e2e_start "$probe" key
        wid=$(e2e_find_window zqprobe 60) || e2e_fail "$way: no window titled 'zqprobe'"
        sleep 0.5
        e2e_end_by_key "$way" 30
        got=$(e2e_out | sed -n 's/^key: //p')
        [ "$got" = "$want" ] || e2e_fail "$way: the probe read '$got', not '$want'"
        e2e_log "$way: read as '$got'"
        e2e_start "$demo"
        wid=$(e2e_find_window zqdemo 60) || e2e_fail "$way: no window titled 'zqdemo'"
        sleep 0.5
        e2e_end_by_key "$way" "$limit"
    done
}

# "ZQGFX" names the driver in any case; on "null" the demo shows no window and runs on.
test_demo_driver() {
    local entry
    for entry in "${window_driver,}|$window_driver" "$window_driver|$window_driver" "NuLL|Null"; do
        ZQGFX=${entry%%|*} e2e_driver "${entry#*|} " "$probe" open
    done
    ZQGFX=null e2e_start "$demo"
    if wid=$(e2e_find_window zqdemo 5); then e2e_fail "ZQGFX=null: a window appeared ($wid)"; fi
    e2e_running "$demo_pid" || e2e_fail "ZQGFX=null: the demo ended by itself"
    e2e_log "ZQGFX=null: no window in 5 s; the demo runs"
}

# The 640x480 window "zqdemo" shows the host build's frames at about 60 per
# second (the X11 driver's pace where RandR tells no rate).
test_demo_frames() {
    e2e_start "$demo"
    e2e_window zqdemo
    e2e_frames_advance "${1:-3}" "${2-60}"
}

# With MIT-SHM off in the X server, as on a remote display, the X11 driver
# sends through XPutImage and shows the same pixels. Logs a frame's cost each way.
test_noshm() {
    local way
    for way in MIT-SHM XPutImage; do
        [ $way = XPutImage ] && e2e_cleanup && E2E_XVFB_ARGS="-extension MIT-SHM" e2e_begin
        e2e_run "$probe" send 200
        e2e_out | grep -q "^send: .*($way)$" || e2e_fail "not through $way: $(e2e_out)"
        e2e_log "$(e2e_out)"
    done
    test_demo_frames
    test_text
}

# With no "ZQGFX" the screen is on DirectX in a window, listing the X screen's
# 1024x768 among its 32-bit modes with and without a screen open; the demo's
# frames advance within 10% of the refresh rate (60 Hz where none is told).
test_ddraw_demo() {
    local when modes refresh
    e2e_driver "DirectX fullscreen: 0 " "$probe" --modes open
    for when in closed open; do
        modes=$(e2e_out | sed -n "s/^modes $when: *//p")
        [[ " $modes " == *" 1024x768 "* ]] || e2e_fail "1024x768 is not listed (screen $when): $modes"
    done
    refresh=$(e2e_out | sed -n 's/^driver: .* refresh: //p')
    [ "${refresh:-0}" -gt 1 ] || refresh=60 # 0 and 1: the hardware's default rate
    test_demo_frames 5 "$refresh"
}

# Without ddraw.dll the demo falls through to GDI, showing the same frames.
test_ddraw_fallback() {
    export WINEDLLOVERRIDES=ddraw=d
    e2e_driver "GDI fullscreen: 0 " "$probe" open
    test_demo_frames 1 ""
}

# Full screen: a 1024x768 X screen has no 640x480 mode, so the screen opens in
# a window; on a 640x480 X screen DirectX takes the display and shows the frames.
test_ddraw_fullscreen() {
    e2e_driver "* fullscreen: 0 " "$probe" --fullscreen open
    e2e_cleanup
    e2e_begin 640x480x24
    e2e_start "$probe" --fullscreen frames
    e2e_window zqprobe
    e2e_expect_line "driver: DirectX fullscreen: 1 refresh: [0-9]*" "640x480 screen"
    e2e_frames_advance 1
    e2e_end_by_key a
}

# An OpenGL screen shows what glClear (from zq_GfxGetGLProcAddress) paints;
# "ZQGFX=OpenGL" without the flag falls through to DirectX; a demo-like frame
# loop waits one refresh period per frame with little CPU (the probe judges).
test_ogl_screen() {
    e2e_start "$probe" clear 3060C0
    e2e_window zqprobe
    e2e_expect_line ready "first frame"
    e2e_out | grep -q "^driver: OpenGL " || e2e_fail "the screen is not on the OpenGL driver"
    convert -size 640x480 xc:'#3060C0' "ppm:$e2e_tmp/clear.ppm"
    e2e_shot_equals "$e2e_tmp/clear.ppm" ogl_clear
    e2e_end_by_key a
    ZQGFX=OpenGL e2e_driver "DirectX " "$probe" open

    e2e_run "$probe" pace 5
    e2e_log "$(e2e_out | grep '^pace:')"
}

# zq_GfxGetMouse and zq_GfxSetMouse on a GDI (X11) screen against the X
# pointer; zq_GfxMultikey follows held keys on GDI, OpenGL and DirectX (X11).
test_mouse() {
    local driver entry key scan drivers="GDI OpenGL DirectX"
    e2e_wine || drivers=X11
    for driver in $drivers; do
        if [ $driver = OpenGL ]; then ZQGFX=$driver e2e_start "$probe" --opengl mouse; else ZQGFX=$driver e2e_start "$probe" mouse; fi
        wid=$(e2e_find_window zqprobe 60) || e2e_fail "$driver: no window titled 'zqprobe'"
        e2e_expect_line "driver: $driver .*" "$driver"
        [ $driver = "$window_driver" ] && mouse_state
        xdotool windowfocus --sync "$wid" 2>/dev/null
        for entry in "a|30" "Up|72" "Shift_L|42"; do
            key=${entry%%|*} scan=${entry#*|}
            xdotool keydown "$key"
            e2e_expect_line "key $scan -1" "$driver: $key held"
            xdotool keyup "$key"
            e2e_expect_line "key $scan 0" "$driver: $key released"
        done
        e2e_end_by_key q
    done
}

mouse_state() {
    local entry wx wy X Y
    # xdotool command | the state zq_GfxGetMouse gives: X Y WHEEL BUTTONS
    for entry in "mousemove --window $wid 100 50|100 50 0 0" "mousemove --window $wid 321 240|321 240 0 0" \
        "mousedown 1|321 240 0 1" "mouseup 1|321 240 0 0" "mousedown 3|321 240 0 2" "mouseup 3|321 240 0 0" \
        "click 4|321 240 1 0" "click 5 click 5|321 240 -1 0" "mousemove 3 3|-1 -1 -1 -1"; do
        xdotool ${entry%%|*}
        e2e_expect_line "mouse ${entry#*|}" "xdotool ${entry%%|*}"
    done
    eval "$(xwininfo -id "$wid" | awk '/Absolute upper-left X/ { print "wx=" $4 } /Absolute upper-left Y/ { print "wy=" $4 }')"
    xdotool key --window "$wid" s 2>/dev/null
    e2e_expect_line "set 0" "zq_GfxSetMouse(100, 50, -1)"
    eval "$(xdotool getmouselocation --shell)"
    [ "$X,$Y" = "$((wx + 100)),$((wy + 50))" ] ||
        e2e_fail "the X pointer is at ($X, $Y), not at the window's (100, 50) = ($((wx + 100)), $((wy + 50)))"
    e2e_log "X pointer at ($X, $Y): the window's client point (100, 50)"
}

# Text in the GDI (X11) window equals the host build's framebuffer: the sample
# page, ended by a key; then a line typed with corrections, which Return hands
# to the program.
test_text() {
    local host=$e2e_host/zqprobe got
    local steps=("type:xJohn Smiht" Left BackSpace End "type:h" Home Delete)
    "$host" --ppm "$e2e_tmp/page.ppm" print >/dev/null && "$host" --ppm "$e2e_tmp/prompt.ppm" input >/dev/null &&
        "$host" --ppm "$e2e_tmp/edited.ppm" input "${steps[@]}" >/dev/null || e2e_fail "$host drew no pictures"

    ZQGFX=$window_driver e2e_start "$probe" print
    e2e_window zqprobe
    e2e_shot_equals "$e2e_tmp/page.ppm" text_print
    e2e_out | grep -q "^driver: $window_driver " || e2e_fail "the screen was not on $window_driver"
    e2e_running "$demo_pid" || e2e_fail "the program ended before any key"
    e2e_end_by_key space

    ZQGFX=$window_driver e2e_start "$probe" input
    e2e_window zqprobe
    e2e_shot_equals "$e2e_tmp/prompt.ppm" text_input-prompt
    # Into the focused window, as a person types (capitals through Shift).
    for step in "${steps[@]}"; do
        case $step in
        type:*) xdotool type --delay 40 "${step#type:}" ;;
        *) xdotool key "$step" ;;
        esac
    done
    e2e_shot_equals "$e2e_tmp/edited.ppm" text_input
    e2e_end_by_key Return
    got=$(e2e_out | sed -n 's/^line: \[\(.*\)\]$/\1/p')
    [ "$got" = "John Smith" ] || e2e_fail "the program read '$got', not 'John Smith'"
    e2e_log "read '$got'"
}

# Screens opened and closed in one process leave no thread, handle, window,
# module or memory behind: 100 on GDI, OpenGL, X11 (under AddressSanitizer in
# that build); 20 on DirectX, whose DirectInput Wine frees slowly; 5 full-screen
# DirectX requests without that mode, each failing cleanly into a window.
test_cycle() {
    # cycles, driver, screen flags
    local entry entries=("100 GDI 0" "100 OpenGL 2" "${E2E_DDRAW_CYCLES:-20} DirectX 0" "5 DirectX 1")
    e2e_wine || entries=("100 X11 0")
    for entry in "${entries[@]}"; do
        # shellcheck disable=SC2086 # the entry is the probe's words
        e2e_start "$probe" cycle $entry
        e2e_wait_exit 90 || e2e_fail "$entry: still running after 90 s"
        e2e_out | grep '^cycle:' | sed "s/^/$entry: /"
        [ "$e2e_status" = 0 ] || e2e_fail "$entry: exit status $e2e_status"
    done
}

# The graphics unit tests' window procedure cases, which need a display.
test_wndproc() {
    e2e_run "$(dirname "$probe")/test_gfx.exe" --gtest_filter='WndProc*'
    e2e_out | grep -q SKIPPED && e2e_fail "skipped: $(e2e_out | grep -m1 -A1 SKIPPED)"
    e2e_out | grep -m1 PASSED
}

declare -F "test_$e2e_name" >/dev/null || e2e_fail "no test $e2e_name"
e2e_begin
"test_$e2e_name"
e2e_log "ok"
