#!/usr/bin/env bash
# Installs what building and running the game need, builds only the game and
# its data in ./build, and starts it there (where data.dat is and where
# hiscores.hst is kept). scripts/test.sh sets up the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh play
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target vollix vollix_data
cd build
exec ./vollix
