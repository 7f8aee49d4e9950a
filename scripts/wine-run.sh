#!/usr/bin/env bash
# Runs a Windows test program under Wine in the project's 32-bit prefix, with no
# display (tests that need one start their own X server).
#
# Wine's helper processes (services.exe and friends) outlive the program and
# inherit its output; were that our caller's pipe, CTest would wait for them.
# So the program writes to a file that is copied out once it has ended.
set -u
export WINEPREFIX=${ZQ_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zqdemo/wineprefix-win32}
export WINEARCH=win32 WINEDEBUG=-all
unset DISPLAY

# Keep one server for the prefix alive between test programs (starting Wine is
# slow); a server already running makes this a no-op. `make test` ends it.
wineserver -p300 </dev/null >/dev/null 2>&1

# Where the kernel cannot run 32-bit programs, install-deps.sh registers the
# user-mode i386 emulator. Wine runs there, but threads contending for a lock
# crash the emulator, so test suites named *Threads (which the native host
# builds run, also under the sanitizers) are left out.
if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && [ -z "${GTEST_FILTER:-}" ]; then
    export GTEST_FILTER='-*Threads.*'
fi

out=$(mktemp)
trap 'rm -f "$out"' EXIT
wine "$@" </dev/null >"$out" 2>&1
status=$?
cat "$out"
exit $status
