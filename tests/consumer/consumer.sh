#!/usr/bin/env bash
# A program author's view of the library: install a build into a fresh prefix,
# build the examples from that prefix alone, through the CMake package and
# through pkg-config and the compiler, and run each on the Null driver to its
# end: exit status 0 and the expected final picture.   consumer.sh host|win32|win64
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
arch=$1 tmp=$(mktemp -d) failures=0 passes=0 run=() cmake_args=()
# Wine keeps a server alive for the next program; end it with the test.
trap 'rm -rf "$tmp"; [ "$arch" = host ] || (source "$root/scripts/wine-env.sh" "$arch" && wineserver -k) 2>/dev/null' EXIT
fail() { echo "consumer $arch: FAIL: $*" && failures=$((failures + 1)); }

# name, frames, size and hash of the final framebuffer
expected="text 60 640x480x32_08be1751
palette 60 320x200x8_979f24cf
paint 60 640x480x32_1d33ce44
keys 60 640x480x4_b7bba313
image 60 400x300x32_1aa99545"

cxx=g++
if [ "$arch" != host ]; then
    cpu=$([ "$arch" = win32 ] && echo i686 || echo x86_64)
    cxx=$cpu-w64-mingw32-g++-posix run=("$root/scripts/wine-run.sh" "$arch")
    cmake_args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$cpu.cmake")
fi
prefix=$tmp/prefix
cmake --install "$root/build/$arch" --prefix "$prefix" >/dev/null || { fail install; exit 1; }
extra=$(cd "$prefix/include" && find . -type f | grep -v '^./zq/zq_\(rt\|gfx\|console\)\.h$')
[ -z "$extra" ] || fail "headers beyond the public ones: $extra"

flags="-std=c++20 -Wall -Wextra -Werror"
cmake -S "$root/examples" -B "$tmp/cmake" "${cmake_args[@]}" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_CXX_FLAGS="$flags" >"$tmp/log" 2>&1 && cmake --build "$tmp/cmake" -j 2 >>"$tmp/log" 2>&1 ||
    { cat "$tmp/log"; fail "CMake build"; }
mkdir -p "$tmp/pc"
pc=$(PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH='' pkg-config --cflags --libs zqgfx) ||
    fail pkg-config
while read -r name frames want; do
    # shellcheck disable=SC2086 # pkg-config gives a list of words
    $cxx $flags "$root/examples/$name.cpp" $pc -o "$tmp/pc/$name" >"$tmp/log" 2>&1 ||
        { cat "$tmp/log"; fail "$name: pkg-config build"; }
    for exe in "$tmp"/{cmake,pc}/"$name"{,.exe}; do
        [ -e "$exe" ] || continue
        out=$(ZQGFX=null ZQGFX_FINGERPRINT=1 "${run[@]}" "$exe" "$frames" </dev/null 2>&1)
        status=$?
        got=$(sed -n 's/^zqgfx fingerprint \([0-9x]*\) \([0-9a-f]*\).*/\1_\2/p' <<<"$out")
        if [ $status -eq 0 ] && [ "$got" = "$want" ]; then passes=$((passes + 1)); else
            fail "$exe: status $status, picture '$got', expected '$want'" && head -5 <<<"$out"
        fi
    done
done <<<"$expected"
echo "consumer $arch: $passes passed, $failures failed"
[ "$failures" -eq 0 ] && [ "$passes" -eq 10 ]
