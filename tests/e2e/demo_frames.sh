#!/usr/bin/env bash
# The demo's window shows the frames the demo draws: its client area equals
# the framebuffer after some number of frames, and a later look shows more.
#
#   demo_frames.sh win32|win64 HOST_BUILD ZQDEMO_EXE
e2e_name=demo_frames
source "$(dirname "$0")/e2e-lib.sh" "$1" "$2" || exit 1
demo_exe=$3
zqframes=$e2e_host/zqframes
e2e_begin

# Prints the frame count whose framebuffer the window shows. The update thread
# may copy while a sector is half drawn, so a few screenshots are allowed.
matching_frame() {
    local wid=$1 attempt result
    for attempt in 1 2 3 4 5; do
        import -window "$wid" -depth 8 "ppm:$e2e_tmp/shot.ppm" 2>/dev/null || return 2
        result=$("$zqframes" --match "$e2e_tmp/shot.ppm" 2>&1)
        case $? in
        0) echo "$result"; return 0 ;;
        1) e2e_log "screenshot $attempt: $result" >&2 ;;
        *) e2e_log "zqframes: $result" >&2; return 2 ;;
        esac
        sleep 0.1
    done
    return 1
}

e2e_start "$demo_exe"
wid=$(e2e_find_window zqdemo 60) || e2e_fail "no window titled 'zqdemo' appeared"
size=$(e2e_window_size "$wid")
[ "$size" = 640x480 ] || e2e_fail "the window's client area is $size, not 640x480"

sleep 1
first=$(matching_frame "$wid") || e2e_fail "no screenshot matched any frame"
sleep 1.5
second=$(matching_frame "$wid") || e2e_fail "no later screenshot matched any frame"
e2e_log "the window showed frame $first, then frame $second"
[ "$second" -gt "$first" ] || e2e_fail "the later frame count $second is not above $first"
e2e_log "ok"
