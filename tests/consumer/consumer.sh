#!/usr/bin/env bash
# A program author's view of the library: install a build into a fresh prefix,
# build the examples from that prefix alone, once through the CMake package and
# once through pkg-config and the compiler, and run each on the Null driver to
# its end: exit status 0 and the expected final picture.
#   consumer.sh host|win32|win64
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
arch=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
failures=0 passes=0
fail() { echo "consumer $arch: FAIL: $*"; failures=$((failures + 1)); }

# name, frames, fingerprint of the final framebuffer (size and hash)
expected="
text 60 640x480x32_08be1751
palette 60 320x200x8_f194a34b
paint 60 640x480x32_1d33ce44
keys 60 640x480x4_b7bba313
image 60 400x300x32_1aa99545"

run=()
case $arch in
host) cxx=g++ ;;
win32 | win64)
    [ "$arch" = win32 ] && triple=i686 || triple=x86_64
    cxx=$triple-w64-mingw32-g++-posix
    cmake_args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$([ "$arch" = win32 ] && echo i686 || echo x86_64).cmake")
    run=("$root/scripts/wine-run.sh" "$arch") ;;
*) echo "consumer.sh: host, win32 or win64" >&2; exit 2 ;;
esac

cmake --install "$root/build/$arch" --prefix "$prefix" >/dev/null || { fail install; exit 1; }
# Nothing private may be installed.
extra=$(cd "$prefix/include" && find . -type f | grep -v '^./zq/zq_\(rt\|gfx\|console\)\.h$')
[ -z "$extra" ] || fail "headers beyond the public ones: $extra"

flags="-std=c++20 -Wall -Wextra -Werror"
cmake -S "$root/examples" -B "$tmp/cmake" ${cmake_args[@]+"${cmake_args[@]}"} \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="$flags" >"$tmp/log" 2>&1 &&
    cmake --build "$tmp/cmake" -j 2 >>"$tmp/log" 2>&1 || { cat "$tmp/log"; fail "CMake build"; }

mkdir -p "$tmp/pc"
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=
pc=$(pkg-config --cflags --libs zqgfx) || fail "pkg-config"
while read -r name frames want; do
    [ -n "$name" ] || continue
    # shellcheck disable=SC2086 # pkg-config output is a list of words
    $cxx $flags "$root/examples/$name.cpp" $pc -o "$tmp/pc/$name" >"$tmp/log" 2>&1 ||
        { cat "$tmp/log"; fail "$name: pkg-config build"; }
    for way in cmake pc; do
        exe=$tmp/$way/$name
        [ -e "$exe" ] || exe=$exe.exe
        [ -e "$exe" ] || continue
        out=$(ZQGFX=null ZQGFX_FINGERPRINT=1 ${run[@]+"${run[@]}"} "$exe" "$frames" </dev/null 2>&1)
        status=$?
        got=$(echo "$out" | sed -n 's/^zqgfx fingerprint \([0-9x]*\) \([0-9a-f]*\).*/\1_\2/p')
        if [ $status -ne 0 ] || [ "$got" != "$want" ]; then
            fail "$name ($way): status $status, picture '$got', expected '$want'"
            echo "$out" | head -5
        else
            passes=$((passes + 1))
        fi
    done
done <<<"$expected"
echo "consumer $arch: $passes passed, $failures failed"
[ "$failures" -eq 0 ] && [ "$passes" -eq 10 ]
