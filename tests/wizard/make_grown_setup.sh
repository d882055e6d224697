#!/usr/bin/env bash
# Makes the setup that the progress test installs: the stand-in viewer grown
# by 2000 plug-in-like files (some 300 MB, half of each incompressible) with
# tools/bench_scale/grow_payload.py, made into a setup by the release road
# (tools/release.sh --viewer) with the product that this build compiled.
# A setup made before is kept while it is newer than this build's own setup
# and than this script; the folders it was made from are removed.
#
# Usage: make_grown_setup.sh <work folder> <the product's build>
# Leaves <work>/setup.exe.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$1 from=$2
plugins=2000
setup=$work/setup.exe
own=$(ls "$from"/bin/pixelmoor-*-setup-x64.exe)
if [ -f "$setup" ] && [ "$setup" -nt "$own" ] && [ "$setup" -nt "$0" ]; then
  echo "kept $setup"
  exit 0
fi
standin=$(sed -n 's/^PIXELMOOR_PAYLOAD_ZIP:[A-Z]*=//p' "$from/CMakeCache.txt")
[ -f "$standin" ] || { echo "no stand-in payload at $standin" >&2; exit 1; }
rm -rf "$work"; mkdir -p "$work"
python3 "$root/tools/bench_scale/grow_payload.py" "$standin" "$plugins" "$work/viewer" >/dev/null
bash "$root/tools/release.sh" --out "$work/release" --from "$from" --build "$work/build" --viewer "$work/viewer" >/dev/null
cp "$work"/release/pixelmoor-*-setup-x64.exe "$setup"
rm -rf "$work/viewer" "$work/build" "$work/release"
echo "made $setup ($(stat -c %s "$setup") bytes)"
