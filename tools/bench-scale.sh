#!/usr/bin/env bash
# Times silent installations with the payload grown to the size of a real
# viewer, side by side with the NSIS peer and the host's unzip of the same
# archive, and measures the setup's peak private memory. Not a test.
#
# Per size N (a multiple of the stand-in; 1 is the stand-in itself):
#   1. tools/bench_scale/grow_payload.py lays out a viewer folder, as a real
#      viewer goes into the build: the stand-in's files as installed (without
#      the uninstaller) plus 100*N plug-in-like files of 1-300 KB, half of each
#      incompressible, from a fixed seed (10: about 1,040 files, 87 MB packed;
#      50: about 5,040 files, 420 MB packed);
#   2. tools/bench_scale/list_viewer_folder.py lists the folder with the
#      build's uninstaller in the order of a viewer folder, and
#      payload/scripts/make_zip.py packs the list;
#   3. a setup carrying that archive is built in a tree of its own
#      (build/bench-scale/windows), through the benchmark-only cache variable
#      PIXELMOOR_BENCH_PAYLOAD_ZIP;
#   4. the NSIS peer is built from the same archive and both run side by side
#      through ../shared/bench/run_bench.sh (PIXELMOOR_BENCH_DIR names
#      another folder), with the host's unzip of the archive beside them;
#   5. one more silent installation runs under tools/bench_scale/peak_private.py.
# It prints per size both medians, their ratio, the host unzip time, the
# setup's time over unzip's and the setup's peak private memory.
#
# Usage: tools/bench-scale.sh [size...]     (default: 1 10 50)
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
tree=$scale/windows
switches=(/silent '/folder=C:\Bench\Pixelmoor' /group=1 /desktop=1 /thumbs=1 /assoc=1)

. "$root/tools/bench_scale/side_by_side.sh"
if [ ! -f "$win/build.ninja" ]; then bash "$root/tools/build.sh" >/dev/null; fi
cmake --build "$win" --target pm_payload_zip pm_uninstall >/dev/null
standin=$(sed -n 's/^PIXELMOOR_PAYLOAD_ZIP:[A-Z]*=//p' "$win/CMakeCache.txt")
[ -f "$standin" ] || { echo "no stand-in payload at $standin" >&2; exit 1; }
uninstaller=$win/bin/pm_uninstall.exe

# The payload of size N: its viewer folder grown, listed and packed; packed
# again only when a file of the folder, the list or the uninstaller changed.
payload_of() {
  local n=$1 out=$scale/${1}x
  if [ "$n" = 1 ]; then echo "$standin"; return; fi
  mkdir -p "$out"
  python3 "$root/tools/bench_scale/grow_payload.py" "$standin" $((100 * n)) "$out/viewer" >/dev/null
  python3 "$root/tools/bench_scale/list_viewer_folder.py" "$out/viewer" "$uninstaller" "$out/entries.txt"
  if [ ! -f "$out/payload.zip" ] ||
     [ -n "$(find "$out/viewer" "$out/entries.txt" "$uninstaller" -newer "$out/payload.zip" -print -quit)" ]; then
    python3 "$root/payload/scripts/make_zip.py" "$out/entries.txt" "$out/payload.zip"
  fi
  echo "$out/payload.zip"
}

# The setup carrying the archive, built in the benchmark's own tree.
# Once the build takes a viewer folder (PIXELMOOR_VIEWER_DIR), this passes
# the grown folder ($scale/<N>x/viewer) instead of the packed archive, and
# the peer and unzip take the archive that the build packed from it.
setup_with() {
  local zip=$1 out=$2
  cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIXELMOOR_ZLIB_SOURCE_DIR="$(cat "$build/deps/zlib-source-dir")" \
    -DPIXELMOOR_BENCH_PAYLOAD_ZIP="$zip" >/dev/null
  cmake --build "$tree" --target pixelmoor_setup >/dev/null
  cp "$tree/bin/pixelmoor-4.75-setup-x64.exe" "$out"
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
  zip=$(payload_of "$n")
  out=$scale/${n}x
  mkdir -p "$out"
  setup_with "$zip" "$out/setup.exe"
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
