#!/usr/bin/env bash
# Installs what is missing, then configures and builds everything (the native
# rules and tests, and the Windows build with the setup executable).
# The build folder is ./build unless PIXELMOOR_BUILD_DIR names another.
# PIXELMOOR_VIEWER_DIR, PIXELMOOR_VERSION and PIXELMOOR_SIGN_COMMAND in the
# environment are handed to the build as they are (README "Releasing").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PIXELMOOR_BUILD_DIR:-$root/build}
bash "$root/tools/deps.sh" "$build/deps"
zlib_src=$(cat "$build/deps/zlib-source-dir")
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIXELMOOR_ZLIB_SOURCE_DIR="$zlib_src" \
  -DPIXELMOOR_VIEWER_DIR="${PIXELMOOR_VIEWER_DIR:-}" -DPIXELMOOR_VERSION="${PIXELMOOR_VERSION:-}" \
  -DPIXELMOOR_SIGN_COMMAND="${PIXELMOOR_SIGN_COMMAND:-}" >/dev/null
cmake --build "$build"
