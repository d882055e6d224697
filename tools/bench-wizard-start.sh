#!/usr/bin/env bash
# Times the wizard's start under Wine: from just before the setup's process
# is created to the first look that finds the welcome page shown (sheet found
# by its title and visible, page 101 active with its controls). The timing
# is done inside a Windows program with QueryPerformanceCounter
# (tools/bench_wizard_start); it starts the setup once unmeasured to warm up
# the Wine server, then <runs> times, and prints each run and the median.
# Goal: a median of at most 300 ms.
# By default the prefix uses the null graphics driver, as the tests do; with
# --x11 the windows are created on an Xvfb screen through Wine's X11 driver.
# Usage: tools/bench-wizard-start.sh [--x11] [runs]   (default 9 runs)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PIXELMOOR_BUILD_DIR:-$root/build}
x11=0
if [ "${1:-}" = --x11 ]; then x11=1; shift; fi
runs=${1:-9}
win=$build/windows

if [ ! -f "$win/build.ninja" ]; then bash "$root/tools/build.sh" >/dev/null; fi
cmake --build "$win" --target pixelmoor_setup bench_wizard_start >/dev/null
setup=$(cat "$win/pixelmoor-setup-path.txt")  # the setup that the build linked

wine_root=$build/bench-wizard-wine
bash "$root/tools/wine/make-prefix.sh" "$wine_root" >/dev/null
. "$root/tools/wine/env.sh" "$wine_root"
if [ $x11 -eq 1 ]; then
  . "$root/tools/wine/x11.sh"
  trap 'wineserver -k 2>/dev/null || true; pm_x11_stop' EXIT
else
  trap 'wineserver -k 2>/dev/null || true' EXIT
fi

to_wine() { printf 'Z:%s' "${1//\//\\}"; }
driver=null; [ $x11 -eq 1 ] && driver="x11 on Xvfb $DISPLAY"
echo "setup: $(stat -c %s "$setup") bytes; $(wine --version); graphics driver: $driver; $runs runs"
wine "$win/tools/bench_wizard_start.exe" "$(to_wine "$setup")" "$runs" | tr -d '\r'
