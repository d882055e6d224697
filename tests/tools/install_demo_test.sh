#!/usr/bin/env bash
# Runs tools/install-demo.sh with a relative folder, which the setup refuses,
# and checks what a person sees: the exit code 1603 with its reason and the
# log entry, and a script that ends with 0 because the demo itself ran.
# Usage: install_demo_test.sh <source root> <build folder>
set -uo pipefail
root=$1 build=$2
out=$(PIXELMOOR_BUILD_DIR=$build bash "$root/tools/install-demo.sh" /silent '/folder=relative\x' 2>&1)
status=$?
printf '%s\n' "$out"
fail() { echo "FAILED: $1" >&2; exit 1; }
[ $status -eq 0 ] || fail "the script ended with $status"
grep -q '^  exit code: 1603 (the installation failed' <<<"$out" || fail "no exit code 1603"
grep -q 'Ungültiges Zielverzeichnis!: relative\\x' <<<"$out" || fail "no log entry naming the folder"
