#!/usr/bin/env bash
# Runs the real game under valgrind's memcheck through a scripted session in a
# private Xvfb: the menu, a game with some firing, ESC, the name entry of a
# seeded qualifying table, typing, ENTER, the table screen, Exit.
# Fails on any invalid read or write, any other memcheck error and any
# definite leak that tests/e2e/valgrind.supp does not excuse.
#
# Usage: scripts/valgrind-session.sh [BUILD_DIR]   (default: build-valgrind; built if needed)
# Needs: valgrind, Xvfb, xdotool, ImageMagick's import, pack, /usr/bin/python3 with PIL.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-valgrind}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j2 --target vollix vollix_data >/dev/null

logdir=$(mktemp -d /tmp/vollix-valgrind-XXXXXX)
trap '[ -n "${VOLLIX_KEEP_VALGRIND_LOG:-}" ] && cp "$log" "$VOLLIX_KEEP_VALGRIND_LOG"; rm -rf "$logdir"' EXIT
log=$logdir/memcheck.log

prefix="valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite"
prefix+=" --error-exitcode=99 --track-origins=yes --num-callers=30"
prefix+=" --suppressions=$root/tests/e2e/valgrind.supp --log-file=$log"

status=0
VOLLIX_E2E_SLOW=5 /usr/bin/python3 "$root/tests/e2e/run_e2e.py" --vollix "$build/vollix" \
    --data "$build/data.dat" --prefix "$prefix" valgrind_session || status=$?

echo "---- memcheck summary"
sed -n '/HEAP SUMMARY/,$p' "$log" | sed 's/^==[0-9]*== //'
if grep -qE 'Invalid (read|write|free)|uninitialised|Mismatched free|overlap' "$log"; then
    echo "---- memcheck errors"
    grep -E -A25 'Invalid (read|write|free)|uninitialised|Mismatched free|overlap' "$log" \
        | sed 's/^==[0-9]*== //' | head -200
    status=1
fi
if grep -q 'definitely lost in loss record' "$log"; then
    echo "---- definite leaks"
    grep -A30 'definitely lost in loss record' "$log" | sed 's/^==[0-9]*== //' | head -200
    status=1
fi
grep -q 'ERROR SUMMARY: 0 errors' "$log" || status=1
if [ "$status" -ne 0 ]; then
    echo "valgrind session FAILED"
else
    echo "valgrind session passed: no memcheck errors, no definite leak of ours"
fi
exit "$status"
