#!/usr/bin/env bash
# Makes the setup that the progress test installs (and that the screenshots
# of an installation show): the stand-in viewer grown by plug-in-like files
# (2000 unless told: some 300 MB, half of each incompressible) with
# tools/bench_scale/grow_payload.py, made into a setup by the release road
# (tools/release.sh --viewer) with the product that this build compiled.
# A setup made before is kept while it is newer than this build's own setup
# and than this script, and was grown by as many files; the folders it was
# made from are removed.
#
# Usage: make_grown_setup.sh <work folder> <the product's build> [plug-ins]
# Leaves <work>/setup.exe.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$1 from=$2 plugins=${3:-2000}
setup=$work/setup.exe grown=$work/plugins.txt
own=$(cat "$from/pixelmoor-setup-path.txt")  # the setup that the build linked
if [ -f "$setup" ] && [ "$setup" -nt "$own" ] && [ "$setup" -nt "$0" ] && [ "$(cat "$grown" 2>/dev/null)" = "$plugins" ]; then
  echo "kept $setup"
  exit 0
fi
standin=$(sed -n 's/^PIXELMOOR_PAYLOAD_ZIP:[A-Z]*=//p' "$from/CMakeCache.txt")
[ -f "$standin" ] || { echo "no stand-in payload at $standin" >&2; exit 1; }
rm -rf "$work"; mkdir -p "$work"
python3 "$root/tools/bench_scale/grow_payload.py" "$standin" "$plugins" "$work/viewer" >/dev/null
bash "$root/tools/release.sh" --out "$work/release" --from "$from" --build "$work/build" --viewer "$work/viewer" >/dev/null
cp "$work"/release/pixelmoor-*-setup-x64.exe "$setup"
echo "$plugins" >"$grown"
rm -rf "$work/viewer" "$work/build" "$work/release"
echo "made $setup ($(stat -c %s "$setup") bytes)"
