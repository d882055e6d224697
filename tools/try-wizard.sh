#!/usr/bin/env bash
# Opens the setup's wizard in a fresh Wine prefix for a person to go through.
# The prefixes of the tests and the demo use the null graphics driver, where
# windows exist but nothing is drawn; this one uses Wine's X11 driver.
# - With a display (DISPLAY names one that answers), the wizard opens there;
#   the script waits for it and prints the setup's exit code.
# - Without one, the wizard runs on a virtual screen (Xvfb): the welcome page
#   is saved as a picture, then the wizard is cancelled.
# The prefix is build/try-wine; drive D: is build/try-wine/drive_d.
# Usage: tools/try-wizard.sh [setup switches...]   (e.g. /folder=D:\Apps\Pixelmoor)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PIXELMOOR_BUILD_DIR:-$root/build}
win=$build/windows

if [ ! -f "$win/build.ninja" ]; then bash "$root/tools/build.sh" >/dev/null; fi
cmake --build "$win" --target pixelmoor_setup launch guidriver >/dev/null
setup=$(cat "$win/pixelmoor-setup-path.txt")  # the setup that the build linked
to_wine() { printf 'Z:%s' "${1//\//\\}"; }

# The display's key stays reachable after env.sh moves HOME into the prefix.
export XAUTHORITY=${XAUTHORITY:-$HOME/.Xauthority}
on_display=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then on_display=1; fi

wine_root=$build/try-wine
bash "$root/tools/wine/make-prefix.sh" "$wine_root" >/dev/null
. "$root/tools/wine/env.sh" "$wine_root"
echo "wine prefix: $WINEPREFIX"

if [ $on_display -eq 1 ]; then
  . "$root/tools/wine/x11-driver.sh"
  echo "the wizard opens on display $DISPLAY; the script ends when it is closed"
  wine "$win/tools/launch.exe" --print-exit-code "$(to_wine "$setup")" "$@" | tr -d '\r'
  wineserver -w
  exit 0
fi

. "$root/tools/wine/x11.sh"
trap 'wineserver -k 2>/dev/null || true; pm_x11_stop' EXIT
guidriver() { wine "$win/tools/guidriver.exe" --timeout 60000 "$@" | tr -d '\r'; }
picture=$wine_root/wizard-welcome.png
args=("\"$(to_wine "$setup")\"" "$@")
guidriver --start "${args[*]}" wait-page 101 front >/dev/null
sleep 1  # the page paints after it is shown
import -window root png:- | convert png:- -crop "$(guidriver rect)" +repage "$picture"
guidriver press cancel box answer yes wait-exit >/dev/null
echo "no display: the wizard ran on a virtual screen; its welcome page is $picture"
