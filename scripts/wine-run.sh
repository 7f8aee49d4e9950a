#!/usr/bin/env bash
# Runs a Windows test program under Wine, with no display (tests that need one
# start their own X server):  wine-run.sh win32|win64 PROGRAM [ARGS...]
#
# Each architecture has its own prefix under build/ (ZQ_WINEPREFIX overrides),
# made on first use. 64-bit programs run through the 64-bit loader directly:
# the `wine` command prefers the 32-bit one whenever it is installed.
#
# Wine's helper processes (services.exe and friends) outlive the program and
# inherit its output; were that our caller's pipe, CTest would wait for them.
# So the program writes to a file that is copied out once it has ended.
set -u
here=$(cd "$(dirname "$0")" && pwd)
arch=$1
shift
source "$here/wine-env.sh" "$arch" || exit 1
unset DISPLAY
zq_wine_prefix_ready || exit 1

# Keep one server for the prefix alive between test programs (starting Wine is
# slow); a server already running makes this a no-op. `make test` ends it.
wineserver -p300 </dev/null >/dev/null 2>&1

out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$ZQ_WINE" "$@" </dev/null >"$out" 2>&1
status=$?
cat "$out"
exit $status
