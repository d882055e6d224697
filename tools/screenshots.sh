#!/usr/bin/env bash
# Renders the wizard under Xvfb with Wine's X11 driver and writes one PNG per
# page, cropped to the sheet's window, and one of the cancel question:
#   docs/wizard-1-welcome.png ... docs/wizard-5-finish.png, docs/wizard-cancel-question.png
# Every run uses a fresh throwaway prefix (build/screenshots-wine), the same
# screen and a German locale, so that a re-run gives the same pictures. The walk goes
# through the real wizard with the GUI driver: Next on the ready page
# installs into the prefix's default folder; the finish page is closed with
# the close box, so that nothing is opened or started.
# Usage: tools/screenshots.sh [output folder]   (default: docs/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PIXELMOOR_BUILD_DIR:-$root/build}
out=$(realpath -m "${1:-$root/docs}")
win=$build/windows

if [ ! -f "$win/build.ninja" ]; then bash "$root/tools/build.sh" >/dev/null; fi
cmake --build "$win" --target pixelmoor_setup guidriver >/dev/null
setup=$win/bin/pixelmoor-4.75-setup-x64.exe
mkdir -p "$out"

wine_root=$build/screenshots-wine
bash "$root/tools/wine/make-prefix.sh" "$wine_root" >/dev/null
. "$root/tools/wine/env.sh" "$wine_root"
# The finish page's links must never reach a browser of this machine.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winebrowser.exe=d"
. "$root/tools/wine/x11.sh"
trap 'wineserver -k 2>/dev/null || true; pm_x11_stop' EXIT

# A German user's Wine: the system's own texts (message box buttons "Ja",
# "Nein") in German. The locale is compiled into the build folder.
locales=$build/locale
[ -d "$locales/de_DE.UTF-8" ] || { mkdir -p "$locales" && localedef -i de_DE -f UTF-8 "$locales/de_DE.UTF-8"; }

to_wine() { printf 'Z:%s' "${1//\//\\}"; }
guidriver() {
  LOCPATH=$locales LC_ALL=de_DE.UTF-8 wine "$win/tools/guidriver.exe" --timeout 60000 "$@" | tr -d '\r'
}

# The sheet (and an open message box) cut out of the screen. A picture is
# taken again until two in a row agree, so that none catches a repaint.
shoot() {
  local file=$out/$1 rect previous=$wine_root/shot-previous.png current=$wine_root/shot-current.png
  guidriver front >/dev/null
  rect=$(guidriver rect)
  rm -f "$previous"
  for _ in $(seq 20); do
    sleep 0.3
    import -window root png:- | convert png:- -crop "$rect" +repage -strip \
      -define png:exclude-chunks=date,time "$current"
    if [ -f "$previous" ] && cmp -s "$previous" "$current"; then break; fi
    mv "$current" "$previous"
  done
  mv "$current" "$file"
  echo "$file ($rect)"
}

guidriver --start "\"$(to_wine "$setup")\"" wait-page 101 >/dev/null
shoot wizard-1-welcome.png
guidriver press cancel box >/dev/null
shoot wizard-cancel-question.png
guidriver answer no >/dev/null
guidriver press next wait-page 108 >/dev/null
shoot wizard-2-whats-new.png
guidriver press next wait-page 104 >/dev/null
shoot wizard-3-associations.png
guidriver press next wait-page 109 >/dev/null
shoot wizard-4-ready.png
guidriver press next wait-page 110 >/dev/null
shoot wizard-5-finish.png
guidriver close wait-exit
