#!/usr/bin/env bash
# Opens and closes the OpenGL screen 100 times in one process (the screen
# cycle program) and checks that no thread, handle, window, module or memory
# is left behind.
#
#   ogl_cycle.sh win32|win64 SCREEN_CYCLE_EXE
# Without a window manager Wine waits 2 s for each hidden window to be
# withdrawn; the program's copy runs with Wine's windows unmanaged, which
# changes nothing on the program's side.
e2e_name=ogl_cycle
source "$(dirname "$0")/e2e-lib.sh" "$1" || exit 1
e2e_begin

cp "$2" "$e2e_tmp/ogl_cycle.exe" || e2e_fail "cannot copy $2"
"$ZQ_WINE" reg add 'HKCU\Software\Wine\AppDefaults\ogl_cycle.exe\X11 Driver' \
    /v Managed /d N /f >/dev/null 2>&1 || e2e_fail "cannot set up the program's Wine settings"
e2e_start "$e2e_tmp/ogl_cycle.exe" 100 OpenGL
e2e_wait_exit 90 || e2e_fail "still running after 90 s"
tr -d '\r' <"$e2e_tmp/out" | grep '^screen_cycle'
[ "$e2e_status" = 0 ] || e2e_fail "exit status $e2e_status"
e2e_log "ok"
