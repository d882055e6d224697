#!/usr/bin/env bash
# Runs a Windows program in the prefix below <root>; used as the emulator of
# the cross-compiled tests.  Usage: tools/wine/run.sh <root> <program> [args...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/env.sh" "${1:?wine root folder}"
shift
exec wine "$@"
