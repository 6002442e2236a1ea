#!/usr/bin/env bash
# Builds the Debian package from a configured build folder: it must hold the
# launcher, declare its library dependencies, pass lintian without error, and
# be hardened as Debian asks.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
out=$(mktemp -d "${TMPDIR:-/tmp}/vollix-package.XXXXXX")
trap 'rm -rf "$out"' EXIT

(cd "$1" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/vollix_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[[ $depends == *liballegro4.4* ]] || { echo "FAIL: the package does not depend on the Allegro library"; exit 1; }
contents=$(dpkg-deb -c "$deb")
grep -q '/usr/games/vollix$' <<<"$contents" || { echo "FAIL: no launcher in /usr/games"; exit 1; }
lintian --fail-on error "$deb"

# The packaged game as hardening-check sees it. Fortified calls show only where a size is known
# solely at run time, and the game makes no such call, so the flags that ask for them are checked
# instead. Debian 12's C start-up files (Scrt1.o) carry no control-flow note, so no program linked
# there gets one (/bin/ls neither): that check waits for start-up files that have it.
dpkg-deb -x "$deb" "$out/root"
skip=(--nofortify)
readelf -n "$(g++ -print-file-name=Scrt1.o)" | grep -q "IBT, SHSTK" || skip+=(--nocfprotection)
hardening-check "${skip[@]}" "$out/root/usr/lib/games/vollix/vollix"
flags=$(cat "$1/CMakeFiles/vollix_core.dir/flags.make")
for flag in -fstack-protector-strong -fstack-clash-protection -fcf-protection $([[ $flags != *-O2* ]] || echo -D_FORTIFY_SOURCE=2); do
    [[ $flags == *"$flag"* ]] || { echo "FAIL: the game is built without $flag"; exit 1; }
done
echo "package: ok"
