# Shared by the DirectX end-to-end scripts, on top of e2e-lib.sh:
#   source ddraw_lib.sh win32|win64 HOST_BUILD

source "$(dirname "${BASH_SOURCE[0]}")/e2e-lib.sh" "$1" "$2" || exit 1

# ddraw_probe_line PROBE [ARGS...]: runs the screen probe to its end and
# prints its "driver: ..." line.
ddraw_probe_line() {
    e2e_start "$@"
    e2e_wait_exit 60 || e2e_fail "the probe $* did not end"
    [ "$e2e_status" = 0 ] || e2e_fail "the probe $* ended with status $e2e_status"
    tr -d '\r' <"$e2e_tmp/out" | grep '^driver: '
}

# ddraw_wait_line TEXT: waits up to 10 s for that whole line in the running
# program's output (its window may show before the line is written).
ddraw_wait_line() {
    local _
    for _ in $(seq 100); do
        tr -d '\r' <"$e2e_tmp/out" | grep -qx "$1" && return 0
        sleep 0.1
    done
    return 1
}
