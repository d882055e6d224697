#!/usr/bin/env bash
# Times complete silent installations under Wine and splits them into
# unpacking, settings and registration. Every run starts from a clean state
# (install folder, settings folder, shortcuts and registry entries removed).
# Each run times the setup program end to end with
#   /silent /folder=D:\Bench\Pixelmoor /group=1 /assoc=1
# and then the same installation step by step inside a bench program.
# Usage: tools/bench-install.sh [runs]   (default 5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PIXELMOOR_BUILD_DIR:-$root/build}
runs=${1:-5}
win="$build/windows"

if [ ! -f "$win/build.ninja" ]; then bash "$root/tools/build.sh" >/dev/null; fi
cmake --build "$win" --target pixelmoor_setup install_bench >/dev/null

wine_root="$build/bench-wine"
bash "$root/tools/wine/make-prefix.sh" "$wine_root" >/dev/null
. "$root/tools/wine/env.sh" "$wine_root"
trap 'wineserver -k 2>/dev/null || true' EXIT

to_wine() { echo "Z:$(echo "$1" | sed 's|/|\\|g')"; }
setup="$win/bin/pixelmoor-4.75-setup-x64.exe"
echo "setup: $(stat -c %s "$setup") bytes, $runs runs, Wine $(wine --version)"
wine "$win/tests/integration/install_bench.exe" "$(to_wine "$setup")" "$runs" | sed 's/\r$//'
