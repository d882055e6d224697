#!/usr/bin/env bash
# The main job: installs what is missing, builds the setup, creates a fresh
# Wine prefix and runs one unattended installation in it, then prints what the
# installation left behind: files, settings files, shortcuts, registry keys.
# It prints the setup's whole exit code (the shell would see only its low
# eight bits) and ends with 0 when the demo ran, whatever the setup decided.
#
# Usage: tools/install-demo.sh [setup switches...]
# Without switches the installation runs with
#   /silent /folder=D:\Tools\Pixelmoor /group=1 /desktop=1 /thumbs=1 /assoc=1
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PIXELMOOR_BUILD_DIR:-$root/build}
bash "$root/tools/build.sh" >/dev/null
win="$build/windows"
setup=$(cat "$win/pixelmoor-setup-path.txt")  # the setup that the build linked
wine_root="$build/demo-wine"

if [ $# -gt 0 ]; then switches=("$@")
else switches=(/silent '/folder=D:\Tools\Pixelmoor' /group=1 /desktop=1 /thumbs=1 /assoc=1); fi

echo "== Setup executable"
ls -l "$setup" | awk '{print "  " $5 " bytes  " $9}'

echo "== Fresh Wine prefix in $wine_root"
bash "$root/tools/wine/make-prefix.sh" "$wine_root" | sed 's/^/  /'
. "$root/tools/wine/env.sh" "$wine_root"
drive_c="$WINEPREFIX/drive_c"
run_dir="$wine_root/run"
mkdir -p "$run_dir"

to_wine() { echo "Z:$(echo "$1" | sed 's|/|\\|g')"; }

echo "== Running: $(basename "$setup") ${switches[*]}"
launched=$( (cd "$run_dir" && wine "$win/tools/launch.exe" --print-exit-code "$(to_wine "$setup")" "${switches[@]}") \
  | tr -d '\r' || true)
code=$(printf '%s\n' "$launched" | sed -n 's/^exit code: //p' | tail -n 1)
[ -n "$code" ] || { echo "  the setup could not be started" >&2; exit 1; }
case $code in
  0) meaning="installed" ;;
  1602) meaning="the wizard was cancelled" ;;
  1603) meaning="the installation failed; the install log below says why" ;;
  1618) meaning="refused: the viewer runs or another setup installs" ;;
  *) meaning="" ;;
esac
echo "  exit code: $code${meaning:+ ($meaning)}"
wineserver -w

# Folders of the prefix as the setup saw them: D: is the prefix's drive_d.
unix_path() {  # a Windows path of the prefix -> the Unix path
  local p=$1 drive rest
  drive=$(echo "${p:0:1}" | tr 'A-Z' 'a-z'); rest=$(echo "${p:2}" | sed 's|\\|/|g')
  readlink -f "$WINEPREFIX/dosdevices/$drive:" | sed "s|\$|$rest|"
}
folder='D:\Tools\Pixelmoor'
for s in "${switches[@]}"; do case "$s" in /folder=*) folder=${s#/folder=};; esac; done
install_dir=$(unix_path "$folder")

names="$root/contract/product_names.py"
install_log=$run_dir/$(python3 "$names" install_log) settings=$(python3 "$names" settings)
echo "== Install log ($install_log)"
if [ -f "$install_log" ]; then iconv -f latin1 -t utf-8 "$install_log" | sed 's/\r$//; s/^/  /'
else echo "  (none: nothing went wrong)"; fi

echo "== Files in $folder"
if [ -d "$install_dir" ]; then
  (cd "$install_dir" && find . -type f -printf '%P\t%s\n' | sort | awk -F'\t' '{printf "  %-40s %9d bytes\n", $1, $2; n++; t+=$2} END {printf "  %d files, %d bytes\n", n, t}')
else echo "  (folder missing)"; fi

show_ini() {  # prints a settings file, UTF-16 or ANSI
  local f=$1
  if [ "$(head -c 2 "$f" | od -An -tx1 | tr -d ' ')" = "fffe" ]; then
    echo "  $2 (UTF-16LE with byte-order mark)"; iconv -f utf-16 -t utf-8 "$f" | sed 's/\r$//; s/^/    /'
  else
    echo "  $2 (ANSI)"; iconv -f cp1252 -t utf-8 "$f" | sed 's/\r$//; s/^/    /'
  fi
}
echo "== Settings files"
found=0
while IFS= read -r f; do found=1; show_ini "$f" "${f#$WINEPREFIX/}"; done < <(
  { [ -d "$install_dir" ] && find "$install_dir" -maxdepth 1 -name "$settings"; find "$drive_c/users" -path '*Pixelmoor*' -name "$settings"; } 2>/dev/null | sort -u)
[ $found -eq 1 ] || echo "  (none)"

echo "== Shortcuts"
# Wine keeps the Windows desktop in $HOME (the prefix's Desktop folder links there).
user=$(ls "$drive_c/users" | grep -v -x Public | head -n 1)
mapfile -t links < <({ find "$drive_c/users" "$drive_c/ProgramData" -name '*.lnk' 2>/dev/null
                       find "$HOME" -maxdepth 1 -name '*.lnk'; } | grep -i 'pixelmoor' | sort)
if [ ${#links[@]} -gt 0 ]; then
  wine_links=(); for l in "${links[@]}"; do wine_links+=("$(to_wine "$l")"); done
  home_win=$(to_wine "$HOME" | sed 's/\\/\\\\/g')  # as a sed pattern
  desktop_win='C:\\users\\'"$user"'\\Desktop'      # as a sed replacement
  wine "$win/tools/lnkinfo.exe" "${wine_links[@]}" 2>/dev/null \
    | sed "s|^$home_win|$desktop_win|; s|^Z:.*drive_c|C:|; s/\r$//; s/^/  /"
else echo "  (none)"; fi

echo "== Registry"
wineserver -w 2>/dev/null || true  # the server saves the registry files when it ends
python3 "$root/tools/wine/show-registry.py" "$WINEPREFIX"
