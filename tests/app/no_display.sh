#!/usr/bin/env bash
# The wizard where no window can be shown: the prefix is switched from the
# null graphics driver to Wine's X11 driver with no X server to talk to
# (DISPLAY unset), so that creating a window fails. Started without switches,
# the setup must end with 1603 (the wizard could not be shown), not 1602 (the
# user cancelled), and leave nothing behind. The prefix gets its null driver
# back afterwards, whatever happened.
# Usage: no_display.sh <wine root> <setup (Unix path)>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tools/wine/env.sh" "${1:?wine root folder}"
setup=${2:?setup}

# A prefix's programs keep the driver that its desktop started with, so each
# switch ends them first.
use_driver() {
  wineserver -k 2>/dev/null
  wineserver -w
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$1" /f >/dev/null 2>&1
}
work=$(mktemp -d)
trap 'use_driver null; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY
use_driver x11

(cd "$work" && timeout 120 wine "$setup")
code=$?
# wine hands on the low byte of the exit code: 1603 gives 67, 1602 gives 66.
if [ "$code" -ne $((1603 % 256)) ]; then
  echo "the setup ended with $code (the low byte of its exit code), not with that of 1603"
  exit 1
fi
if [ -n "$(ls -A "$work")" ]; then
  echo "the setup left files where it was started: $(ls -A "$work")"
  exit 1
fi
echo "without a display the setup ended with 1603 and left nothing"
