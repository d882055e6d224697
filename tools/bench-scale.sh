#!/usr/bin/env bash
# Times silent installations with the payload grown to the size of a real
# viewer, side by side with the NSIS peer and the host's unzip of the same
# archive, and measures the setup's peak private memory. Not a test.
#
# Per size N (a multiple of the stand-in; 1 is the stand-in itself):
#   1. tools/bench_scale/grow_payload.py lays out a viewer folder: the
#      stand-in's files as installed (without the uninstaller) plus 100*N
#      plug-in-like files of 1-300 KB, half of each incompressible, from a
#      fixed seed (10: about 1,080 files, 87 MB packed; 50: about 5,240 files,
#      425 MB packed); the size "70k" instead adds 1,000 files of 70 KB of
#      noise alone (about 1,040 files, 77 MB packed, mostly incompressible);
#   2. tools/release.sh makes the setup from that folder as a maker does
#      (unsigned, linking the product compiled in the ordinary build), in
#      build/bench-scale/<N>x/build;
#   3. the NSIS peer is built from the archive that the release packed and
#      both run side by side through ../shared/bench/run_bench.sh
#      (PIXELMOOR_BENCH_DIR names another folder), with the host's unzip of
#      the archive beside them;
#   4. one more silent installation runs under tools/bench_scale/peak_private.py.
# It prints per size both medians, their ratio, the host unzip time, the
# setup's time over unzip's and the setup's peak private memory.
#
# Usage: tools/bench-scale.sh [size...]     (default: 1 10 50; also 70k)
#   PIXELMOOR_BENCH_ROUNDS  rounds of the side-by-side run (default 7)
# The build folder is ./build unless PIXELMOOR_BUILD_DIR names another; the
# grown payloads stay in <build>/bench-scale/<size>x for later runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PIXELMOOR_BUILD_DIR:-$root/build}
bench=${PIXELMOOR_BENCH_DIR:-$root/../shared/bench}
rounds=${PIXELMOOR_BENCH_ROUNDS:-7}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1 10 50)
win=$build/windows
scale=$build/bench-scale

switches=(/silent '/folder=C:\Bench\Pixelmoor' /group=1 /desktop=1 /thumbs=1 /assoc=1)

. "$root/tools/bench_scale/side_by_side.sh"
if [ ! -f "$win/build.ninja" ]; then bash "$root/tools/build.sh" >/dev/null; fi
cmake --build "$win" --target pm_payload_zip >/dev/null
standin=$(sed -n 's/^PIXELMOOR_PAYLOAD_ZIP:[A-Z]*=//p' "$win/CMakeCache.txt")
[ -f "$standin" ] || { echo "no stand-in payload at $standin" >&2; exit 1; }

# The setup of size N in $out/setup.exe, made by the release road from the
# grown viewer folder (the stand-in itself for 1); prints the archive that
# the release packed.
setup_of() {
  local n=$1 out=$scale/${1}x
  local release=(--out "$out/release" --from "$win" --build "$out/build")
  mkdir -p "$out"
  if [ "$n" = 70k ]; then
    python3 "$root/tools/bench_scale/grow_payload.py" "$standin" 1000 "$out/viewer" --noise-kb 70 --per-folder 50 >/dev/null
    release+=(--viewer "$out/viewer")
  elif [ "$n" != 1 ]; then
    python3 "$root/tools/bench_scale/grow_payload.py" "$standin" $((100 * n)) "$out/viewer" >/dev/null
    release+=(--viewer "$out/viewer")
  fi
  bash "$root/tools/release.sh" "${release[@]}" >/dev/null
  cp "$out"/release/pixelmoor-*-setup-x64.exe "$out/setup.exe"
  echo "$out/build/payload/pixelmoor-payload.zip"
}

memory_of() {
  local setup=$1 wine_root=$scale/wine
  bash "$root/tools/wine/make-prefix.sh" "$wine_root" >/dev/null
  (
    . "$root/tools/wine/env.sh" "$wine_root"
    wineserver -p10
    python3 "$root/tools/bench_scale/peak_private.py" "$setup" "${switches[@]}" | sed -n 's/^peak private \([0-9.]*\) MB.*/\1/p'
    wineserver -k 2>/dev/null || true
  )
}

summary=()
for n in "${sizes[@]}"; do
  zip=$(setup_of "$n")
  out=$scale/${n}x
  python3 "$bench/make_nsis_peer.py" "$zip" "$out/peer" >/dev/null
  entries=$(unzip -Z1 "$zip" | wc -l)
  echo "== ${n}x: $(stat -c %s "$zip") bytes, $entries entries, load $(cut -d' ' -f1-3 /proc/loadavg)"
  bash "$bench/run_bench.sh" "$out/setup.exe" "$out/peer/peer-setup.exe" "$zip" "$rounds" | tee "$out/run.txt" |
    grep -v '^\(pixelmoor\|nsis\|noop\|unzip\) [0-9.]'
  peak=$(memory_of "$out/setup.exe")
  median() { awk -v k="$1" '$1 == k && $2 == "median" { print $3 }' "$out/run.txt"; }
  summary+=("$(awk -v n="$n" -v e="$entries" -v s="$(median pixelmoor)" -v p="$(median nsis)" -v u="$(median unzip)" \
    -v m="$peak" -v l="$(cut -d' ' -f1 /proc/loadavg)" \
    'BEGIN { printf "%4sx %7d %9.0f %9.0f %8.3f %9.0f %8.3f %8.1f %6s", n, e, s, p, s / p, u, s / u, m, l }')")
done
printf '%5s %7s %9s %9s %8s %9s %8s %8s %6s\n' size entries "setup ms" "nsis ms" setup/ns "unzip ms" setup/uz "peak MB" load
printf '%s\n' "${summary[@]}"
