#!/usr/bin/env bash
# Retakes the README's screenshots (docs/menu.png, docs/play.png) from the
# real game window under a private Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
[ -x build/vollix ] && [ -f build/data.dat ] ||
  { cmake -S . -B build && cmake --build build -j"$(nproc)" --target vollix vollix_data; }
/usr/bin/python3 scripts/screenshots.py --vollix build/vollix --data build/data.dat --out docs
