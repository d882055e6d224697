#!/usr/bin/env bash
# Lists every DLL that the setup's process loads during a silent installation
# with shortcuts, thumbnails and associations (from Wine's loader trace),
# then runs the planted-DLL test, which plants a DLL under each of those names.
# Usage: planted_dlls.sh <wine root> <setup (Unix path)> <test program> <list file>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tools/wine/env.sh" "${1:?wine root folder}"
setup=${2:?setup}
program=${3:?test program}
list=${4:?list file}

work=$(mktemp -d)
trap 'rm -rf "$work" "$pm_wine_root/drive_d/PlantedTrace"' EXIT
# The same road as the test's runs, into a folder of its own.
(cd "$work" && WINEDEBUG=+pid,+loaddll wine "$setup" /silent '/folder=D:\PlantedTrace' /group=1 /desktop=1 \
  /thumbs=1 /assoc=1) 2>"$work/trace" || true
pid=$(grep -m 1 'trace:loaddll:.*Loaded L".*setup-x64\.exe"' "$work/trace" | cut -d: -f1)
[ -n "$pid" ] || { echo "the loader trace names no setup process" >&2; exit 1; }
grep "^$pid:[0-9a-f]*:trace:loaddll:" "$work/trace" | sed -n 's/.*Loaded L"\(.*\)" at .*/\1/p' |
  sed 's/.*\\\\//' | tr 'A-Z' 'a-z' | grep -v '\.exe$' | sort -u >"$list"
echo "the setup loads: $(tr '\n' ' ' <"$list")"
PIXELMOOR_LOADED_DLLS="$list" wine "$program"
