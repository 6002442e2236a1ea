#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test: unit tests and the
# end-to-end tests of the real game under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
ctest --test-dir build --output-on-failure -j2
