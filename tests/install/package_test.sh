#!/usr/bin/env bash
# Builds the Debian package from a configured build folder and checks that it
# declares its library dependencies and that lintian finds no error in it.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build_dir=$(realpath "$1")
out=$(mktemp -d /tmp/vollix-package.XXXXXX)
trap 'rm -rf "$out"' EXIT

(cd "$build_dir" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/vollix_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
case "$depends" in
  *liballegro4.4*) ;;
  *) echo "FAIL: the package does not depend on the Allegro library"; exit 1 ;;
esac
contents=$(dpkg-deb -c "$deb")
grep -q '/usr/games/vollix$' <<<"$contents" || { echo "FAIL: no launcher in /usr/games"; exit 1; }
lintian --fail-on error "$deb"
echo "package: ok"
