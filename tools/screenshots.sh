#!/usr/bin/env bash
# Renders the wizard under Xvfb with Wine's X11 driver and writes one PNG per
# page, cropped to the sheet's window (and an open box), and of the moments
# around an installation:
#   docs/wizard-1-welcome.png ... docs/wizard-5-finish.png, docs/wizard-cancel-question.png,
#   docs/wizard-4-ready-installing.png   the ready page while installing, held still mid-way
#   docs/wizard-4-ready-failure.png      the failure box over the ready page
#   docs/wizard-4-ready-after-failure.png  the ready page when returned to after the failure
#   docs/wizard-0-damaged-setup.png      the box of a damaged setup, shown before the first page
# Every run uses a fresh throwaway prefix (build/screenshots-wine), the same
# screen and a German locale, so that a re-run gives the same pictures (the
# bar of the installing picture stands a little further or less far). The
# walk goes through the real wizard with the GUI driver: Next on the ready
# page first fails (a folder stands where the viewer's program goes), then
# installs into the prefix's default folder; the finish page is closed with
# the close box, so that nothing is opened or started. The installing
# picture comes from a second run of a setup with a grown payload
# (tests/wizard/make_grown_setup.sh, 1000 plug-in files), stopped (SIGSTOP)
# as soon as its bar stands at 40 or beyond, and continued after.
# With --dpi the prefix runs at that resolution (144, 192: 150 %, 200 %) on a
# larger screen, for looking at the layout; write those elsewhere than docs/.
# Usage: tools/screenshots.sh [--dpi <dpi>] [output folder]   (default: docs/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PIXELMOOR_BUILD_DIR:-$root/build}
dpi=96
if [ "${1:-}" = --dpi ]; then dpi=${2:?--dpi <dpi>}; shift 2; fi
out=$(realpath -m "${1:-$root/docs}")
win=$build/windows

if [ ! -f "$win/build.ninja" ]; then bash "$root/tools/build.sh" >/dev/null; fi
cmake --build "$win" --target pixelmoor_setup guidriver >/dev/null
setup=$(cat "$win/pixelmoor-setup-path.txt")  # the setup that the build linked
grown=$build/screenshots-grown
bash "$root/tests/wizard/make_grown_setup.sh" "$grown" "$win" 1000 >/dev/null
mkdir -p "$out"

wine_root=$build/screenshots-wine
bash "$root/tools/wine/make-prefix.sh" "$wine_root" >/dev/null
. "$root/tools/wine/env.sh" "$wine_root"
# The finish page's links must never reach a browser of this machine.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winebrowser.exe=d"
if [ "$dpi" != 96 ]; then
  PM_X11_SCREEN=$((1024 * dpi / 96))x$((768 * dpi / 96))
  export PM_X11_SCREEN
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
    /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
fi
. "$root/tools/wine/x11.sh"
held=
trap '[ -z "$held" ] || kill -CONT "$held" 2>/dev/null; wineserver -k 2>/dev/null || true; pm_x11_stop' EXIT

# A German user's Wine: the system's own texts (message box buttons "Ja",
# "Nein") in German. The locale is compiled into the build folder.
locales=$build/locale
[ -d "$locales/de_DE.UTF-8" ] || { mkdir -p "$locales" && localedef -i de_DE -f UTF-8 "$locales/de_DE.UTF-8"; }

to_wine() { printf 'Z:%s' "${1//\//\\}"; }
guidriver() {
  LOCPATH=$locales LC_ALL=de_DE.UTF-8 wine "$win/tools/guidriver.exe" --timeout 60000 "$@" | tr -d '\r'
}

# Which setup shoot() looks at: the one that shows the sheet, unless this
# names a process (--pid <id>) that shows a box alone.
attach=()

# The sheet (and an open message box) cut out of the screen. A picture is
# taken again until two in a row agree, so that none catches a repaint.
# With a process id, that process is stopped at once for the picture (the
# caller brought the sheet to the front before) and continued afterwards.
shoot() {
  local file=$out/$1 hold=${2:-} rect previous=$wine_root/shot-previous.png current=$wine_root/shot-current.png
  if [ -n "$hold" ]; then held=$hold; kill -STOP "$hold"; else guidriver "${attach[@]}" front >/dev/null; fi
  rect=$(guidriver "${attach[@]}" rect)
  rm -f "$previous"
  for _ in $(seq 20); do
    sleep 0.3
    import -window root png:- | convert png:- -crop "$rect" +repage -strip \
      -define png:exclude-chunks=date,time "$current"
    if [ -f "$previous" ] && cmp -s "$previous" "$current"; then break; fi
    mv "$current" "$previous"
  done
  mv "$current" "$file"
  if [ -n "$hold" ]; then kill -CONT "$hold"; held=; fi
  echo "$file ($rect)"
}

# A damaged download: one byte of the embedded payload changed.
damaged=$wine_root/damaged-setup.exe
python3 - "$setup" "$win/payload/pixelmoor-payload.zip" "$damaged" <<'PY'
import sys
setup, payload = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
at = setup.find(payload)
if at < 0:
    sys.exit("the payload is not in the setup")
damaged = bytearray(setup)
damaged[at + len(payload) // 2] ^= 0x01
open(sys.argv[3], "wb").write(damaged)
PY
attach=(--pid "$(guidriver --start "\"$(to_wine "$damaged")\"" box pid | tail -1)")
shoot wizard-0-damaged-setup.png
guidriver "${attach[@]}" answer ok wait-exit >/dev/null
attach=()

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
# A failed attempt: a folder stands where the viewer's program goes.
obstacle="$WINEPREFIX/drive_c/Program Files/Pixelmoor/p_moor64.exe"
mkdir -p "$obstacle"
guidriver press next box >/dev/null
shoot wizard-4-ready-failure.png
guidriver answer ok wait-page 101 >/dev/null
rmdir "$obstacle"
guidriver press next wait-page 108 press next wait-page 104 press next wait-page 109 >/dev/null
shoot wizard-4-ready-after-failure.png
guidriver press next wait-page 110 >/dev/null
shoot wizard-5-finish.png
guidriver close wait-exit >/dev/null

# The installation of the grown payload, held mid-way.
guidriver --start "\"$(to_wine "$grown/setup.exe")\"" wait-page 101 >/dev/null
guidriver press next wait-page 108 press next wait-page 104 press next wait-page 109 front >/dev/null
guidriver press next wait-progress 1046 40 >/dev/null
shoot wizard-4-ready-installing.png "$(pgrep -f 'screenshots-grown.setup\.exe' | head -1)"
guidriver wait-page 110 close wait-exit >/dev/null
