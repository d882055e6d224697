#!/usr/bin/env bash
# Runs every libFuzzer program of the native build for a while and prints how
# many inputs each one tried, and the sum.
# Usage: tools/fuzz.sh [seconds per program, default 60] [name filter]
# Uses the build in ./build unless PIXELMOOR_BUILD_DIR names another (build it
# first with tools/build.sh). A failing input is kept in the build folder as
# <program>-crash-<hash>; the script then ends with a non-zero status.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PIXELMOOR_BUILD_DIR:-$root/build}
seconds=${1:-60}
filter=${2:-}
shopt -s nullglob
descriptions=("$build"/fuzz-targets/*_fuzz)
[ ${#descriptions[@]} -gt 0 ] || { echo "no fuzz programs in $build (build it first)" >&2; exit 1; }

total=0
failed=0
for description in "${descriptions[@]}"; do
  name=$(basename "$description")
  [ -z "$filter" ] || [[ "$name" == *"$filter"* ]] || continue
  binary=$(sed -n 's/^binary=//p' "$description")
  corpus=$(sed -n 's/^corpus=//p' "$description")
  dict=$(sed -n 's/^dict=//p' "$description")
  max_len=$(sed -n 's/^max_len=//p' "$description")
  cmake --build "$build" --target "$name" >/dev/null
  work=$(mktemp -d)
  # The committed seeds stay untouched: the fuzzer grows a copy of them.
  cp "$corpus"/* "$work/" 2>/dev/null || true
  options=(-max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1
           -artifact_prefix="$build/$name-")
  [ -z "$dict" ] || options+=(-dict="$dict")
  status=0
  "$binary" "${options[@]}" "$work" >"$work.log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work.log" | tail -n 1)
  runs=${runs:-0}
  total=$((total + runs))
  printf '%-32s %12s executions in %s s\n' "$name" "$runs" "$seconds"
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$work.log"
    echo "$name found a failing input (exit status $status)"
    failed=1
  fi
  rm -rf "$work" "$work.log"
done
printf '%-32s %12s executions\n' "all" "$total"
exit "$failed"
