#!/bin/sh
# Builds the high-score file fuzzer with Clang in build-fuzz and runs it for a bounded
# time over a scratch copy of the seed corpus. Usage: scripts/fuzz.sh [seconds=60]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
CC=${CC:-clang-14} CXX=${CXX:-clang++-14} cmake -S "$root" -B "$root/build-fuzz" \
  -DVOLLIX_FUZZ=ON -DVOLLIX_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build-fuzz" -j2 --target fuzz_high_score_load
rm -rf "$root/build-fuzz/corpus" && cp -r "$root/tests/fuzz/corpus" "$root/build-fuzz/corpus"
"$root/build-fuzz/tests/fuzz/fuzz_high_score_load" -max_total_time="${1:-60}" -max_len=4096 \
  -print_final_stats=1 "$root/build-fuzz/corpus"
