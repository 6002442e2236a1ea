#!/usr/bin/env bash
# Installs the Debian packages Vollix needs to build, run and test, then
# configures and builds it in ./build. Safe to run again: it installs only
# what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config
  liballegro4-dev
  libfreetype-dev fonts-dejavu-core
  libgtest-dev libbenchmark-dev
  xvfb xdotool x11-utils imagemagick python3 python3-pil
  clang-14 libclang-rt-14-dev valgrind
  desktop-file-utils appstream lintian dpkg-dev file
)

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

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
