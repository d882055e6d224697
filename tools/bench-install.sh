#!/usr/bin/env bash
# Times complete silent installations under Wine and splits them into their
# steps. Every run starts from a clean state (install folder, settings
# folder, shortcuts and registry entries removed) and times
#   - the setup program end to end with
#     /silent /folder=D:\Bench\Pixelmoor /group=1 /desktop=1 /thumbs=1 /assoc=1,
#   - the setup program with the same switches while a viewer window exists,
#     so that it only starts, refuses and ends, and a program that does nothing
#     (the floor of starting a process under Wine),
#   - the same installation step by step inside a bench program.
# With --calls it runs once under a Wine server trace instead and counts the
# requests to the Wine server (registry and all) of each step.
# Usage: tools/bench-install.sh [runs]     (default 7)
#        tools/bench-install.sh --calls
# The build folder is ./build unless PIXELMOOR_BUILD_DIR names another.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PIXELMOOR_BUILD_DIR:-$root/build}
mode=times runs=${1:-7}
if [ "$runs" = --calls ]; then mode=calls runs=1; fi
win="$build/windows"

if [ ! -f "$win/build.ninja" ]; then bash "$root/tools/build.sh" >/dev/null; fi
cmake --build "$win" --target pixelmoor_setup install_bench bench_nothing >/dev/null

wine_root="$build/bench-wine"
bash "$root/tools/wine/make-prefix.sh" "$wine_root" >/dev/null
. "$root/tools/wine/env.sh" "$wine_root"
trap 'wineserver -k 2>/dev/null || true' EXIT

to_wine() { echo "Z:$(echo "$1" | sed 's|/|\\|g')"; }
setup=$(cat "$win/pixelmoor-setup-path.txt")  # the setup that the build linked
bench="$win/tests/integration/install_bench.exe"
nothing="$win/tests/integration/bench_nothing.exe"
echo "setup: $(stat -c %s "$setup") bytes, Wine $(wine --version)"

if [ "$mode" = times ]; then
  wine "$bench" "$(to_wine "$setup")" "$(to_wine "$nothing")" "$runs" | sed 's/\r$//'
  exit 0
fi

# One run with the steps marked in the trace: a Wine server of its own with
# request tracing on, writing to the same file as the bench's step marks
# (both append, so neither overwrites the other). A request is a line
# "<thread>: <request>( ...", its reply "<thread>: <request>() = ...".
trace="$build/bench-install-trace.txt"
wineserver -k 2>/dev/null || true
wineserver -w
rm -f "$trace"
wineserver -f -d1 -p3 >/dev/null 2>>"$trace" &
sleep 1
wine "$bench" "$(to_wine "$setup")" "$(to_wine "$nothing")" 1 --marks >/dev/null 2>>"$trace" || true
wineserver -k 2>/dev/null || true
wait
awk '
  { sub(/\r$/, "") }
  /^@@ - *$/ { step = ""; next }
  /^@@ / { step = substr($0, 4); sub(/\r$/, "", step); if (!(step in all)) order[++n] = step; all[step] += 0; next }
  step == "" { next }
  /^[0-9a-f]+: [a-z_]+\( / {
    all[step]++
    name = $2; sub(/\(.*/, "", name)
    if (name ~ /^(create_key|open_key|set_key_value|get_key_value|delete_key|delete_key_value|enum_key|enum_key_value|flush_key|set_registry_notification)$/) reg[step]++
    if (name == "close_handle") closes[step]++
  }
  END {
    printf "Wine server requests per step (one run)\n  %-34s %9s %9s %9s\n", "", "all", "registry", "closes"
    for (i = 1; i <= n; i++) printf "  %-34s %9d %9d %9d\n", order[i], all[order[i]], reg[order[i]], closes[order[i]]
  }' "$trace"
