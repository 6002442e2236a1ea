#!/usr/bin/env bash
# A plain build on a machine without the test, benchmark and icon tools: the
# game and its data come out, and configure says which parts it turned off.
# Usage: light_build.sh SOURCE_DIR
set -euo pipefail
build=$(mktemp -d "${TMPDIR:-/tmp}/vollix-light.XXXXXX")
trap 'rm -rf "$build"' EXIT
cmake -S "$1" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_ImageMagick=ON >"$build/configure.log"
for part in "GoogleTest not found" "Google Benchmark not found" "convert not found"; do
    grep -q "$part" "$build/configure.log" || { echo "FAIL: configure did not say '$part'"; exit 1; }
done
cmake --build "$build" -j2 >"$build/build.log" || { tail -n 40 "$build/build.log"; exit 1; }
[ -x "$build/vollix" ] && [ -s "$build/data.dat" ] || { echo "FAIL: no build/vollix or build/data.dat"; exit 1; }
echo "light build: ok"
