#!/usr/bin/env bash
# Times the archive reader (ExtractArchiveToFolder under Wine, measured inside
# the Windows program with QueryPerformanceCounter) on the built payload ZIP,
# into an empty folder and over an existing installation, next to the host's
# unzip on the same file, and prints the medians and their ratio. Not a test.
# With --split it instead unpacks into an empty folder with every part of the
# road timed apart (temporary copy, minizip's headers and reads, inflating,
# creating, writing, closing, reopening for the times; see
# tools/bench_extract/road_split.h) and prints the medians of the parts;
# --split-levers does the same with the setup's levers (the copy's view, 1 MiB
# blocks, times set through the write handle) on one thread, nothing overlapped.
# Usage: tools/bench-extract.sh [--split|--split-levers] [runs] [archive]
# The archive is the payload unless named (tools/bench-scale.sh grows one).
# The build folder is ./build unless PIXELMOOR_BUILD_DIR names another.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PIXELMOOR_BUILD_DIR:-$root/build}
split=no
case "${1:-}" in
  --split) split=split; shift ;;
  --split-levers) split=split-levers; shift ;;
esac
runs=${1:-7}
win=$build/windows

cmake --build "$win" --target bench_extract pm_payload_zip >/dev/null
zip=${2:-$(sed -n 's/^PIXELMOOR_PAYLOAD_ZIP:[A-Z]*=//p' "$win/CMakeCache.txt")}
[ -n "$zip" ] || zip=$win/payload/pixelmoor-payload.zip
[ -f "$zip" ] || { echo "no payload archive at $zip" >&2; exit 1; }
zip=$(realpath "$zip")

bench=$build/bench-extract
wine_root=$bench/wine
[ -d "$wine_root/prefix" ] || bash "$root/tools/wine/make-prefix.sh" "$wine_root" >/dev/null
to_wine() { printf 'Z:%s' "${1//\//\\}"; }

median() { sort -n | awk '{ v[NR] = $1 } END { m = int((NR + 1) / 2); print (NR % 2) ? v[m] : (v[m] + v[m + 1]) / 2 }'; }

# Wine: the program prints "run <n> <ms>" per run.
wine_ms() {
  bash "$root/tools/wine/run.sh" "$wine_root" "$win/tools/bench_extract.exe" \
    "$(to_wine "$zip")" "$(to_wine "$bench/wine-target")" "$runs" "$1" | tr -d '\r' | awk '$1 == "run" { print $3 }' | median
}

# Host: unzip as a whole process; the folder is emptied (fresh) or filled once (over) untimed.
host_ms() {
  local target=$bench/host-target
  rm -rf "$target" && mkdir -p "$target"
  [ "$1" = over ] && unzip -qq -o "$zip" -d "$target"
  for _ in $(seq "$runs"); do
    if [ "$1" = fresh ]; then rm -rf "$target" && mkdir -p "$target"; fi
    local t0 t1
    t0=$(date +%s%N)
    unzip -qq -o "$zip" -d "$target"
    t1=$(date +%s%N)
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.2f\n", (b - a) / 1e6 }'
  done | median
}

if [ "$split" != no ]; then
  echo "archive: $zip ($(stat -c %s "$zip") bytes, $(unzip -Z1 "$zip" | wc -l) entries), load: $(cut -d' ' -f1-3 /proc/loadavg)"
  bash "$root/tools/wine/run.sh" "$wine_root" "$win/tools/bench_extract.exe" \
    "$(to_wine "$zip")" "$(to_wine "$bench/wine-target")" "$runs" "$split" | tr -d '\r'
  (. "$root/tools/wine/env.sh" "$wine_root" && wineserver -k) 2>/dev/null || true
  exit 0
fi

wine_fresh=$(wine_ms fresh); wine_over=$(wine_ms over)
host_fresh=$(host_ms fresh); host_over=$(host_ms over)
(. "$root/tools/wine/env.sh" "$wine_root" && wineserver -k) 2>/dev/null || true

entries=$(unzip -Z1 "$zip" | wc -l)
unpacked=$(unzip -l "$zip" | tail -n 1 | awk '{ print $1 }')
echo "payload: $zip ($(stat -c %s "$zip") bytes, $entries entries, $unpacked bytes unpacked)"
echo "median of $runs runs, milliseconds"
printf '%-34s %10s %10s\n' "" "empty" "over"
printf '%-34s %10.1f %10.1f\n' "ExtractArchiveToFolder (Wine)" "$wine_fresh" "$wine_over"
printf '%-34s %10.1f %10.1f\n' "unzip on the host" "$host_fresh" "$host_over"
awk -v a="$wine_fresh" -v b="$host_fresh" -v c="$wine_over" -v d="$host_over" \
  'BEGIN { printf "%-34s %10.2f %10.2f\n", "ratio Wine / host", a / b, c / d }'
