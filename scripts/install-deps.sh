#!/usr/bin/env bash
# Installs what the build and the tests need; does nothing when all is present.
set -euo pipefail

SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo

packages_present() {
    local tool f
    for tool in g++ make cmake clang-format i686-w64-mingw32-g++-posix wine Xvfb xdotool \
                xwininfo import; do
        command -v "$tool" >/dev/null 2>&1 || return 1
    done
    for f in /usr/src/googletest/CMakeLists.txt /usr/include/benchmark/benchmark.h \
             /usr/include/gtest/gtest.h /usr/include/X11/Xlib.h; do
        [ -e "$f" ] || return 1
    done
    dpkg -s wine32:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386 >/dev/null 2>&1
}

install_packages() {
    $SUDO dpkg --add-architecture i386
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
        g++ make cmake clang-format \
        g++-mingw-w64-i686-posix wine wine32:i386 \
        libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386 \
        xvfb xdotool x11-utils imagemagick libx11-dev \
        googletest libgtest-dev libbenchmark-dev >/dev/null
}

# Some kernels are built without 32-bit program support; Wine's 32-bit half
# then runs through the user-mode i386 emulator, registered for i386 programs.
enable_i386_programs() {
    /usr/lib/wine/wineserver32 --version >/dev/null 2>&1 && return 0
    command -v qemu-i386-static >/dev/null 2>&1 ||
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq qemu-user-static >/dev/null
    local misc=/proc/sys/fs/binfmt_misc
    [ -e "$misc/register" ] || $SUDO mount -t binfmt_misc binfmt_misc "$misc"
    if [ ! -e "$misc/qemu-i386" ]; then
        printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
            $SUDO tee "$misc/register" >/dev/null
    fi
    /usr/lib/wine/wineserver32 --version >/dev/null 2>&1 ||
        { echo "install-deps: cannot run 32-bit programs on this machine" >&2; return 1; }
}

packages_present || install_packages
enable_i386_programs
