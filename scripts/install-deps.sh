#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need;
# does nothing when all are present. It installs packages and changes nothing
# else on the machine.
set -euo pipefail

SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo

PACKAGES=(
    g++ make cmake clang-format pkg-config
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    wine wine64 wine32:i386
    libgl1 libgl1-mesa-dri libglx-mesa0
    libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386
    xvfb xdotool openbox wmctrl x11-utils imagemagick libx11-dev libxext-dev libxrandr-dev tmux
    googletest libgtest-dev libbenchmark-dev
    clang-14 libclang-rt-14-dev doxygen
    libsdl2-dev libpixman-1-dev libcairo2-dev libsdl2-gfx-dev
)

packages_present() {
    dpkg --print-foreign-architectures | grep -qx i386 || return 1
    dpkg-query -W -f='${db:Status-Status}\n' "${PACKAGES[@]}" 2>/dev/null |
        grep -vx installed | grep -q . && return 1
    [ "$(dpkg-query -W -f='${db:Status-Status}\n' "${PACKAGES[@]}" 2>/dev/null | wc -l)" = "${#PACKAGES[@]}" ]
}

install_packages() {
    $SUDO dpkg --add-architecture i386
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
        "${PACKAGES[@]}" >/dev/null
}

packages_present || install_packages
