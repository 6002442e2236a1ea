#!/usr/bin/env bash
# Builds the Debian package from a configured build folder: it must hold the
# launcher, declare its library dependencies, and pass lintian without error.
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
echo "package: ok"
