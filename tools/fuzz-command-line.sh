#!/usr/bin/env bash
# Fuzzes the silent command line for a while and prints how many inputs were
# tried. Usage: tools/fuzz-command-line.sh [seconds, default 60]
# Uses the native build in ./build unless PIXELMOOR_BUILD_DIR names another
# (build it first with tools/build.sh). A failing input is kept in the build
# folder as tests/app/crash-<hash>.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PIXELMOOR_BUILD_DIR:-$root/build}
seconds=${1:-60}
cmake --build "$build" --target command_line_fuzz >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The committed seeds stay untouched: the fuzzer grows a copy of them.
cp "$root"/tests/app/command_line_corpus/* "$work/"
status=0
"$build/tests/app/command_line_fuzz" -max_total_time="$seconds" -max_len=1200 \
  -dict="$root/tests/app/command_line.dict" -artifact_prefix="$build/tests/app/" \
  -print_final_stats=1 "$work" >"$work.log" 2>&1 || status=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work.log")
echo "executions: ${runs:-0} in $seconds s"
if [ "$status" -ne 0 ]; then
  tail -n 40 "$work.log"
  echo "the fuzzer found a failing input (exit status $status)"
fi
rm -f "$work.log"
exit "$status"
