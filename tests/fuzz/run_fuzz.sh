#!/bin/sh
# Builds the high-score file fuzzer with Clang in build-fuzz and runs it for a
# bounded time over a scratch copy of the seed corpus.
# Usage: tests/fuzz/run_fuzz.sh [seconds]   (default 60)
set -eu
seconds=${1:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build-fuzz"

CC=${CC:-clang-14} CXX=${CXX:-clang++-14} cmake -S "$root" -B "$build" \
  -DVOLLIX_FUZZ=ON -DVOLLIX_TESTS=ON -DVOLLIX_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target fuzz_high_score_load

corpus="$build/fuzz-corpus"
rm -rf "$corpus"
mkdir -p "$corpus"
cp "$root"/tests/fuzz/corpus/* "$corpus"/
"$build/tests/fuzz/fuzz_high_score_load" -max_total_time="$seconds" -max_len=4096 \
  -print_final_stats=1 "$corpus"
