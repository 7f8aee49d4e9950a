#!/usr/bin/env bash
# Runs a Windows test executable under Wine in the build's own 32-bit prefix,
# with no display (tests that need one start their own X server).
set -u
prefix=${ZQ_WINEPREFIX:-$(cd "$(dirname "$0")/.." && pwd)/build/wineprefix}
exec env -u DISPLAY WINEARCH=win32 WINEPREFIX="$prefix" WINEDEBUG=-all wine "$@"
