#!/usr/bin/env bash
# Times complete silent installations and their silent uninstallations under
# Wine, each pair from a clean state, in a fresh prefix:
#   install:   /silent /folder=C:\Program Files\Pixelmoor /group=1 /desktop=1 /thumbs=1 /allusers=1 /assoc=2
#   uninstall: "C:\Program Files\Pixelmoor\pm_uninstall.exe" /silent /purge
# Each time runs from the start of the program to the end of its process (the
# uninstaller's ends only when its private copy has finished the work).
# Usage: tools/bench-uninstall.sh [runs]   (default 7; the medians are printed)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PIXELMOOR_BUILD_DIR:-$root/build}
runs=${1:-7}
win="$build/windows"

if [ ! -f "$win/build.ninja" ]; then bash "$root/tools/build.sh" >/dev/null; fi
cmake --build "$win" --target pixelmoor_setup uninstall_bench >/dev/null

wine_root="$build/bench-wine"
bash "$root/tools/wine/make-prefix.sh" "$wine_root" >/dev/null
. "$root/tools/wine/env.sh" "$wine_root"
trap 'wineserver -k 2>/dev/null || true' EXIT

to_wine() { echo "Z:$(echo "$1" | sed 's|/|\\|g')"; }
setup=$(cat "$win/pixelmoor-setup-path.txt")  # the setup that the build linked
echo "setup: $(stat -c %s "$setup") bytes, $runs runs, Wine $(wine --version)"
wine "$win/tests/uninstaller/uninstall_bench.exe" "$(to_wine "$setup")" "$runs" | sed 's/\r$//'
