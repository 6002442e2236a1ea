#!/usr/bin/env bash
# Installs the Debian packages that are missing, for playing (what building
# and running the game need) or for testing (that and every test, benchmark
# and package check). Safe to run again: it installs only what is missing.
# Usage: scripts/setup.sh play|test
set -euo pipefail

play=(
  g++ make cmake pkg-config
  liballegro4-dev
  libfreetype-dev fonts-dejavu-core
)
test=(
  "${play[@]}"
  libgtest-dev libbenchmark-dev
  xvfb xdotool x11-utils imagemagick python3 python3-pil
  valgrind strace
  desktop-file-utils appstream lintian dpkg-dev devscripts file
)
case "${1:-}" in
  play) packages=("${play[@]}") ;;
  test) packages=("${test[@]}") ;;
  *) echo "usage: $0 play|test" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
