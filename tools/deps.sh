#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine, and unpacks
# Debian's zlib source package (minizip is compiled from its contrib folder).
# Usage: tools/deps.sh <deps-folder>
set -euo pipefail
deps_dir=${1:?usage: tools/deps.sh <deps-folder>}
mkdir -p "$deps_dir"

packages=(
  cmake ninja-build make python3 dpkg-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev
  clang libclang-rt-dev googletest libgtest-dev
  wine wine64 fonts-wine fonts-liberation locales xvfb xauth x11-utils imagemagick zip unzip
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

updated=0
apt_update() { [ $updated -eq 1 ] || { as_root apt-get update -q >/dev/null; updated=1; }; }

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt_update
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi

# The zlib source package needs a deb-src entry. It is derived from the
# machine's own Debian sources, so no archive address is written down here,
# and it is removed again once the source is fetched: the machine's apt
# configuration stays as it was.
zlib_src=$(find "$deps_dir" -maxdepth 1 -type d -name 'zlib-*' 2>/dev/null | head -n 1)
if [ -z "$zlib_src" ] || [ ! -f "$zlib_src/contrib/minizip/unzip.c" ]; then
  added_list=
  remove_added_list() {
    [ -n "$added_list" ] || return 0
    as_root rm -f "$added_list"; added_list=
    as_root apt-get update -q >/dev/null 2>&1 || true
  }
  trap remove_added_list EXIT
  if ! (cd "$deps_dir" && apt-get source --download-only zlib >/dev/null 2>&1); then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      added_list=/etc/apt/sources.list.d/pixelmoor-deb-src.sources
      sed -n '/^Types:/,$p' /etc/apt/sources.list.d/debian.sources \
        | sed -e 's/^Types:.*/Types: deb-src/' | as_root tee "$added_list" >/dev/null
    elif [ -f /etc/apt/sources.list ]; then
      added_list=/etc/apt/sources.list.d/pixelmoor-deb-src.list
      grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' | as_root tee "$added_list" >/dev/null
    else
      echo "no apt sources found to derive a deb-src entry from" >&2; exit 1
    fi
    updated=0; apt_update
  fi
  rm -rf "$deps_dir"/zlib-* "$deps_dir"/zlib_*
  # A suite may list a source version that its mirror no longer serves, so
  # every listed version is tried until one downloads.
  fetched=0
  for v in "" $(apt-cache showsrc zlib 2>/dev/null | sed -n 's/^Version: //p' | sort -u -r); do
    package=zlib; [ -n "$v" ] && package="zlib=$v"
    if (cd "$deps_dir" && apt-get source "$package" >/dev/null 2>&1); then fetched=1; break; fi
    rm -rf "$deps_dir"/zlib-* "$deps_dir"/zlib_*
  done
  [ $fetched -eq 1 ] || { echo "apt-get source zlib failed" >&2; exit 1; }
  zlib_src=$(find "$deps_dir" -maxdepth 1 -type d -name 'zlib-*' | head -n 1)
  remove_added_list
fi
test -f "$zlib_src/contrib/minizip/unzip.c"
echo "$zlib_src" > "$deps_dir/zlib-source-dir"
