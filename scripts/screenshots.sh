#!/usr/bin/env bash
# Retakes the README's screenshots (docs/menu.png, docs/play.png) from the
# real game window under a private Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -x build/vollix ] && [ -f build/data.dat ] || scripts/setup.sh
/usr/bin/python3 tests/e2e/screenshots.py --vollix build/vollix --data build/data.dat --out docs
