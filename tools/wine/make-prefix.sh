#!/usr/bin/env bash
# Creates a fresh Wine prefix below <root>: Windows 10, the null graphics
# driver (windows can be created without a display) and a drive D: that maps
# to <root>/drive_d.
# Usage: tools/wine/make-prefix.sh <root>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/env.sh" "${1:?wine root folder}"
wineserver -k 2>/dev/null || true
rm -rf "$pm_wine_root"
mkdir -p "$pm_wine_root/drive_d" "$HOME"
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
winecfg /v win10 >/dev/null 2>&1
ln -sfn "$pm_wine_root/drive_d" "$WINEPREFIX/dosdevices/d:"
wineserver -w
echo "wine prefix ready: $WINEPREFIX"
