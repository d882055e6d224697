#!/usr/bin/env bash
# Builds everything and runs the whole test suite: native tests with
# sanitizers, Windows tests and end-to-end tests under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PIXELMOOR_BUILD_DIR:-$root/build}
bash "$root/tools/build.sh"
cd "$build"
ctest --output-on-failure -j2 "$@"
