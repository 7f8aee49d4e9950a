#!/usr/bin/env bash
# Regenerates gfx/gfx_data_stream.inc, the compressed built-in fonts and
# palettes, from the fonts in gfx/data/ and the palette rules in
# tools/zqpack.cpp. Run after changing either; commit the result.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/gen}
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target zqpack -j2
"$build/zqpack" "$root/gfx/data/cp437-8x8.bin" "$root/gfx/data/cp437-8x14.bin" \
    "$root/gfx/data/cp437-8x16.bin" "$root/gfx/gfx_data_stream.inc"
echo "wrote gfx/gfx_data_stream.inc"
