# Shared by the DirectX end-to-end scripts, on top of e2e-lib.sh:
#   source ddraw_lib.sh win32|win64 [ZQFRAMES]

source "$(dirname "${BASH_SOURCE[0]}")/e2e-lib.sh" "$1" || exit 1
ddraw_zqframes=${2:-}

# ddraw_unmanaged EXE_NAME: Wine lets no window manager handle that program's
# windows. With none running (a bare Xvfb), Wine otherwise waits 2 s at every
# DestroyWindow of a framed window for the manager to withdraw it.
ddraw_unmanaged() {
    local key="[Software\\\\Wine\\\\AppDefaults\\\\$1\\\\X11 Driver]"
    grep -qF "$key" "$WINEPREFIX/user.reg" 2>/dev/null && return 0
    "$ZQ_WINE" reg add "HKCU\\Software\\Wine\\AppDefaults\\$1\\X11 Driver" /v Managed /d N /f \
        >/dev/null 2>&1
}

# ddraw_frame WID: prints the frame count whose framebuffer the window's client
# area shows (a copy may catch a sector half drawn: a few screenshots are
# allowed), then when that screenshot was taken (ms).
ddraw_frame() {
    local attempt result shot_ms
    for attempt in 1 2 3 4 5; do
        shot_ms=$(e2e_now_ms)
        import -window "$1" -depth 8 "ppm:$e2e_tmp/shot.ppm" 2>/dev/null || return 2
        result=$("$ddraw_zqframes" --match "$e2e_tmp/shot.ppm" 2>&1)
        case $? in
        0) echo "$result $shot_ms"; return 0 ;;
        1) e2e_log "screenshot $attempt: $result" >&2 ;;
        *) e2e_log "zqframes: $result" >&2; return 2 ;;
        esac
        sleep 0.05
    done
    return 1
}

# ddraw_probe_line PROBE [ARGS...]: runs the screen probe to its end and
# prints its "driver: ..." line.
ddraw_probe_line() {
    e2e_start "$@"
    e2e_wait_exit 60 || e2e_fail "the probe $* did not end"
    [ "$e2e_status" = 0 ] || e2e_fail "the probe $* ended with status $e2e_status"
    tr -d '\r' <"$e2e_tmp/out" | grep '^driver: '
}
