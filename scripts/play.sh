#!/usr/bin/env bash
# Sets up what is missing, builds, and starts the game from the build folder
# (where data.dat is and where hiscores.hst is kept).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cd build
exec ./vollix
