#!/usr/bin/env bash
# Times silent installations of the setup side by side with a peer installer
# built with NSIS 3 that does the same work, through the shared side-by-side
# benchmark (../shared/bench beside the repository, or the folder that
# PIXELMOOR_BENCH_DIR names): the peer is built from the setup's own payload,
# then both run in fresh copies of one Wine prefix, with the median of each
# and their ratio printed at the end. Not a test.
# Installs Debian's nsis package when makensis is missing.
# Usage: tools/bench-peer.sh [rounds]     (default 7)
# The build folder is ./build unless PIXELMOOR_BUILD_DIR names another.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PIXELMOOR_BUILD_DIR:-$root/build}
bench=${PIXELMOOR_BENCH_DIR:-$root/../shared/bench}
rounds=${1:-7}
win=$build/windows

. "$root/tools/bench_scale/side_by_side.sh"

if [ ! -f "$win/build.ninja" ]; then bash "$root/tools/build.sh" >/dev/null; fi
cmake --build "$win" --target pixelmoor_setup pm_payload_zip >/dev/null
zip=$(sed -n 's/^PIXELMOOR_PAYLOAD_ZIP:[A-Z]*=//p' "$win/CMakeCache.txt")
[ -n "$zip" ] || zip=$win/payload/pixelmoor-payload.zip
[ -f "$zip" ] || { echo "no payload archive at $zip" >&2; exit 1; }

peer=$build/bench-peer
python3 "$bench/make_nsis_peer.py" "$zip" "$peer" >/dev/null
setup=$(cat "$win/pixelmoor-setup-path.txt")  # the setup that the build linked
echo "setup $(stat -c %s "$setup") bytes, peer $(stat -c %s "$peer/peer-setup.exe") bytes, $rounds rounds"
bash "$bench/run_bench.sh" "$setup" "$peer/peer-setup.exe" "$zip" "$rounds"
