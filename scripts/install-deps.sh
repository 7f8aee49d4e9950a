#!/usr/bin/env bash
# Installs what the build and the tests need; does nothing when all is present.
set -euo pipefail

need=(g++ make cmake clang-format i686-w64-mingw32-g++-posix wine Xvfb xdotool xwininfo import)
pkgs_missing=0
for tool in "${need[@]}"; do command -v "$tool" >/dev/null 2>&1 || pkgs_missing=1; done
for f in /usr/src/googletest/CMakeLists.txt /usr/include/benchmark/benchmark.h \
         /usr/include/gtest/gtest.h /usr/include/X11/Xlib.h; do
    [ -e "$f" ] || pkgs_missing=1
done
dpkg -s wine32:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386 >/dev/null 2>&1 || pkgs_missing=1
[ "$pkgs_missing" = 0 ] && exit 0

SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo
$SUDO dpkg --add-architecture i386
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
    g++ make cmake clang-format \
    g++-mingw-w64-i686-posix wine wine32:i386 \
    libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386 \
    xvfb xdotool x11-utils imagemagick libx11-dev \
    googletest libgtest-dev libbenchmark-dev >/dev/null
