#!/usr/bin/env bash
# A plain build on a machine without the test, benchmark and icon tools: the game and its data come out, configure
# says which parts it turned off, the environment's CPPFLAGS reach the compiler, and -O0 goes without fortify.
# Usage: light_build.sh SOURCE_DIR
set -euo pipefail
build=$(mktemp -d "${TMPDIR:-/tmp}/vollix-light.XXXXXX")
trap 'rm -rf "$build"' EXIT
CPPFLAGS=-DVOLLIX_FROM_CPPFLAGS cmake -S "$1" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_ImageMagick=ON >"$build/configure.log"
[ "$(grep -c -e "GoogleTest not found" -e "Google Benchmark not found" -e "convert not found" "$build/configure.log")" = 3 ] ||
    { echo "FAIL: configure did not say which parts it turned off"; exit 1; }
cmake --build "$build" -j2 >"$build/build.log" || { tail -n 40 "$build/build.log"; exit 1; }
flags=$(cat "$build/CMakeFiles/vollix.dir/flags.make")
[[ $flags == *-DVOLLIX_FROM_CPPFLAGS* && $flags != *_FORTIFY_SOURCE* ]] || { echo "FAIL: CPPFLAGS left out, or fortify at -O0"; exit 1; }
[ -x "$build/vollix" ] && [ -s "$build/data.dat" ] || { echo "FAIL: no build/vollix or build/data.dat"; exit 1; }
echo "light build: ok"
