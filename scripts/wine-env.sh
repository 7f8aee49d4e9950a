# Sourced by the Wine scripts:  source wine-env.sh win32|win64
# Sets WINEARCH, WINEPREFIX, WINEDEBUG and ZQ_WINE (the loader), and defines
# zq_wine_prefix_ready, which makes the prefix once.
zq_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
case "$1" in
win64) ZQ_WINE=/usr/lib/wine/wine64 ;;
win32) ZQ_WINE=wine ;;
*) echo "wine-env.sh: architecture win32 or win64 expected, not '$1'" >&2; return 1 ;;
esac
export WINEARCH=$1
export WINEPREFIX=${ZQ_WINEPREFIX:-$zq_root/build/wineprefix-$1}
export WINEDEBUG=${WINEDEBUG:--all}
export ZQ_WINE

# Whether this machine's kernel runs 32-bit programs (some are built without).
zq_runs_32bit() {
    /usr/lib/wine/wineserver32 --version >/dev/null 2>&1
}

zq_wine_prefix_ready() {
    [ -e "$WINEPREFIX/.zq-ready" ] && [ -e "$WINEPREFIX/.zq-ddraw-gdi" ] && return 0
    mkdir -p "$WINEPREFIX"
    (
        exec 9>"$WINEPREFIX/.zq-lock"
        flock 9
        if [ ! -e "$WINEPREFIX/.zq-ready" ]; then
            env -u DISPLAY "$ZQ_WINE" wineboot -i >/dev/null 2>&1
            wineserver -w
            touch "$WINEPREFIX/.zq-ready"
        fi
        # A virtual X server has no graphics card: DirectDraw draws through
        # Wine's GDI renderer, not through a software OpenGL that costs tens of
        # milliseconds per blit.
        if [ ! -e "$WINEPREFIX/.zq-ddraw-gdi" ]; then
            env -u DISPLAY "$ZQ_WINE" reg add 'HKCU\Software\Wine\Direct3D' /v renderer /d gdi /f \
                >/dev/null 2>&1
            wineserver -w
            touch "$WINEPREFIX/.zq-ddraw-gdi"
        fi
    )
}
