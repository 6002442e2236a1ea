#!/usr/bin/env bash
# Builds data.dat twice, in two fresh folders, with the build's own steps, and
# checks that the two files are the same byte for byte.
# Usage: data_twice.sh PACK_SCRIPT CMAKE -D...   (the data build's settings)
set -euo pipefail
script=$1; shift
root=$(mktemp -d "${TMPDIR:-/tmp}/vollix-twice.XXXXXX")
trap 'rm -rf "$root"' EXIT
for run in one two; do
    "$@" -DWORK_DIR="$root/$run" -DOUTPUT="$root/$run/data.dat" -P "$script"
done
cmp "$root/one/data.dat" "$root/two/data.dat"
echo "data.dat: the same in both builds"
