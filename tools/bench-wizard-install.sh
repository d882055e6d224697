#!/usr/bin/env bash
# Times the installation through the wizard against the silent installation
# of the same choices (the pages' defaults: /group=1 /desktop=1 /thumbs=1)
# under Wine, with the null graphics driver as the tests use it:
#   - wizard: from the press of Next on the ready page to the finish page,
#     timed inside the GUI driver (its stopwatch, 10 ms polling);
#   - silent: the setup process from start to end, and a do-nothing process
#     (the floor of starting a process under Wine), timed from the shell.
# Each run installs into folders of its own on drive D:, wizard and silent
# taking turns, after one unmeasured run of each to warm up the Wine server;
# the medians are printed.
# Usage: tools/bench-wizard-install.sh [runs]   (default 5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PIXELMOOR_BUILD_DIR:-$root/build}
runs=${1:-5}
win=$build/windows

if [ ! -f "$win/build.ninja" ]; then bash "$root/tools/build.sh" >/dev/null; fi
cmake --build "$win" --target pixelmoor_setup guidriver bench_nothing >/dev/null
setup=$(cat "$win/pixelmoor-setup-path.txt")  # the setup that the build linked
nothing=$win/tests/integration/bench_nothing.exe

wine_root=$build/bench-wizard-install-wine
bash "$root/tools/wine/make-prefix.sh" "$wine_root" >/dev/null
. "$root/tools/wine/env.sh" "$wine_root"
# The finish page is closed with the close box; nothing is opened anyway.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winebrowser.exe=d"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$wine_root/drive_d/BenchWizard"' EXIT

to_wine() { printf 'Z:%s' "${1//\//\\}"; }
ms_now() { echo $(($(date +%s%N) / 1000000)); }
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

wizard_run() {  # prints the milliseconds from Next on the ready page to the finish page
  wine "$win/tools/guidriver.exe" --timeout 120000 --start "\"$(to_wine "$setup")\"" wait-page 101 \
    settext 1000 "D:\\BenchWizard\\Wizard$1" press next wait-page 108 press next wait-page 104 \
    press next wait-page 109 stopwatch press next wait-page 110 stopwatch close wait-exit |
    tr -d '\r' | sed -n 's/^\([0-9]*\) ms$/\1/p'
}
silent_run() {  # prints the milliseconds of the whole silent setup process
  local start
  start=$(ms_now)
  wine "$setup" /silent "/folder=D:\\BenchWizard\\Silent$1" /group=1 /desktop=1 /thumbs=1
  echo $(($(ms_now) - start))
}
nothing_run() {
  local start
  start=$(ms_now)
  wine "$nothing"
  echo $(($(ms_now) - start))
}

echo "setup: $(stat -c %s "$setup") bytes; $(wine --version); graphics driver: null; $runs runs"
wizard_run warm >/dev/null
silent_run warm >/dev/null
: >"$wine_root/wizard.txt" >"$wine_root/silent.txt" >"$wine_root/nothing.txt"
for i in $(seq "$runs"); do
  w=$(wizard_run "$i") s=$(silent_run "$i") n=$(nothing_run)
  echo "run $i: wizard Next->finish page $w ms; silent setup process $s ms; do-nothing process $n ms"
  echo "$w" >>"$wine_root/wizard.txt"
  echo "$s" >>"$wine_root/silent.txt"
  echo "$n" >>"$wine_root/nothing.txt"
done
w=$(median <"$wine_root/wizard.txt") s=$(median <"$wine_root/silent.txt") n=$(median <"$wine_root/nothing.txt")
echo "median: wizard Next->finish page $w ms; silent setup process $s ms (minus the do-nothing process $n ms: $((s - n)) ms)"
