#!/usr/bin/env bash
# Installs what building the game and every test need, builds everything in
# ./build, and runs the whole suite: unit, end-to-end, build,
# install and package tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j2
