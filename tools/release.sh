#!/usr/bin/env bash
# Builds a release of the setup: around the viewer's own files, with one
# version number, signed, with its checksum and the package manager's
# manifests (README "Releasing").
#
# Usage: tools/release.sh --out DIR [--viewer DIR] [--version X.YY]
#          [--sign-cert FILE.pfx --sign-password-file FILE [--sign-ca FILE]] [--timestamp-url URL]
#          [--download-url URL] [--from BUILD] [--build DIR]
#
# --viewer          the viewer's files, laid out as an installation (default: the stand-in)
# --version         the version; it must be the version record's of the viewer's p_moor64.exe
#                   (the stand-in's without --viewer), which is taken without it
# --sign-cert       the code-signing certificate with its key and chain (PKCS#12)
# --sign-password-file  a file whose first line is the certificate's password
# --sign-ca         the root certificate of the chain, when the PKCS#12 file does not carry it:
#                   the signatures are then checked up to it; without it, up to the chain's top
# --timestamp-url   an RFC 3161 time-stamp authority for the signatures
# --download-url    where the setup will be published (an absolute https:// address of
#                   printable ASCII without blanks); the manifests name it
# --from            the Windows build whose compiled product is linked (default build/windows;
#                   made by tools/build.sh when missing)
# --build           the release's own build folder (default build/release)
#
# The product is compiled once, in the --from build; a release only lists and
# packs the viewer's files, compiles the resources and small generated
# sources and links the two programs. The uninstaller is signed before it is
# packed, then the setup. Two releases of the same input without signatures
# are byte for byte the same. The options, the folders and the download
# address are checked before anything is built; the version and the viewer
# folder's names by the release's build, before anything is linked.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
builds=${PIXELMOOR_BUILD_DIR:-$root/build}

out= viewer= version= cert= password= ca= timestamp= download= from=$builds/windows work=$builds/release
usage() { sed -n '2,/^set -euo/p' "$0" | sed -n 's/^# \{0,1\}//p' >&2; exit 2; }
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || usage
  case $1 in
    --out) out=$2 ;;
    --viewer) viewer=$2 ;;
    --version) version=$2 ;;
    --sign-cert) cert=$2 ;;
    --sign-password-file) password=$2 ;;
    --sign-ca) ca=$2 ;;
    --timestamp-url) timestamp=$2 ;;
    --download-url) download=$2 ;;
    --from) from=$2 ;;
    --build) work=$2 ;;
    *) usage ;;
  esac
  shift 2
done
[ -n "$out" ] || usage
refuse() { echo "release: $*" >&2; exit 2; }
absolute() { (cd "$(dirname "$1")" && echo "$(pwd)/$(basename "$1")"); }
if [ -n "$cert$password$ca" ]; then
  [ -f "$cert" ] && [ -f "$password" ] || refuse "--sign-cert and --sign-password-file name two files"
  [ -z "$ca" ] || [ -f "$ca" ] || refuse "--sign-ca names no file: $ca"
  cert=$(absolute "$cert"); password=$(absolute "$password")
  [ -z "$ca" ] || ca=$(absolute "$ca")
fi
[ -z "$timestamp" ] || [ -n "$cert" ] || refuse "--timestamp-url needs --sign-cert"
command -v osslsigncode >/dev/null || [ -z "$cert" ] || { echo "release: osslsigncode is missing (tools/deps.sh)" >&2; exit 1; }
[ -z "$download" ] || python3 "$root/tools/release/winget_manifests.py" --check-url "$download" || exit 2

# The folders that CMake reads: a ";" is its list separator, it takes a
# backslash for a folder separator, and the build's lists of files are read
# line by line.
for folder in "$viewer" "$work" "$from"; do
  case $folder in
    *';'*) refuse "$folder: its path holds a \";\", which CMake takes for a list separator, so the build could not read it as one folder; move or rename it" ;;
    *\\*) refuse "$folder: its path holds a backslash, which CMake takes for a folder separator, so the build would read another folder; move or rename it" ;;
    *[[:cntrl:]]*) refuse "$folder: its path holds a control character, and the build's lists of files are read line by line; move or rename it" ;;
  esac
done
if [ -n "$viewer" ]; then
  [ -d "$viewer" ] || refuse "$viewer: not a folder"
  viewer=$(cd "$viewer" && pwd)
  # Nothing that the release writes may lie in the viewer folder, nor the
  # folder in it: the next release would pack this one's output (links
  # followed, so that no way of naming a folder hides it).
  # The product's build (--from) may hold the viewer folder: it only builds
  # what it always builds.
  real_viewer=$(realpath "$viewer")
  for written in "--out:$out" "--build:$work" "--from:$from"; do
    option=${written%%:*} folder=${written#*:}
    real=$(realpath -m "$folder")
    case "$real/" in "$real_viewer/"*) refuse "$option $folder lies inside the viewer folder $viewer; a release would pack its own output. Keep them apart" ;; esac
    [ "$option" = --from ] && continue
    case "$real_viewer/" in "$real/"*) refuse "the viewer folder $viewer lies inside $option $folder; a release would pack its own output. Keep them apart" ;; esac
  done
fi

# The compiled product, up to date.
if [ ! -f "$from/pixelmoor-product-code.cmake" ]; then
  echo "== No compiled product in $from: building it (tools/build.sh)"
  PIXELMOOR_BUILD_DIR=$builds bash "$root/tools/build.sh"
  from=$builds/windows
fi
from=$(cd "$from" && pwd)
targets=(pm_product_code)
[ -n "$viewer" ] || targets+=(pm_stand_in)
cmake --build "$from" --target "${targets[@]}" >/dev/null

# The release's own build: what follows from the viewer's files, the version
# and the signatures.
sign_command=
if [ -n "$cert" ]; then
  sign_command="python3 \"$root/tools/release/signing.py\" sign --cert \"$cert\" --password-file \"$password\""
  [ -z "$timestamp" ] || sign_command+=" --timestamp-url \"$timestamp\""
fi
mkdir -p "$work"
cmake -S "$root" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIXELMOOR_PRODUCT_FROM="$from" -DPIXELMOOR_VIEWER_DIR="$viewer" \
  -DPIXELMOOR_VERSION="$version" -DPIXELMOOR_SIGN_COMMAND="$sign_command" >"$work/configure.log" 2>&1 \
  || { sed -n '/CMake Error/,$p' "$work/configure.log" >&2; exit 1; }
# Everything of the release is made anew, never taken from an earlier one.
cmake --build "$work" --target clean >/dev/null
rm -f "$work/payload/payload-left-out.txt"
cmake --build "$work" >"$work/build.log" 2>&1 || { grep -v '^\[' "$work/build.log" >&2; exit 1; }

# Exactly the setup that this build linked: the build folder may still hold
# the setup of another version that an earlier release linked there.
setup=$(cat "$work/pixelmoor-setup-path.txt")
version=$(cat "$work/pixelmoor-version.txt")
name=$(basename "$setup")
if [ -f "$work/payload/payload-left-out.txt" ]; then
  while IFS= read -r left; do
    echo "== Left out of the payload, never shipped: $left"
  done <"$work/payload/payload-left-out.txt"
fi

# Both signatures, the uninstaller's as the payload carries it.
if [ -n "$cert" ]; then
  check=$(mktemp -d); trap 'rm -rf "$check"' EXIT
  python3 -c 'import sys, zipfile; open(sys.argv[2], "wb").write(zipfile.ZipFile(sys.argv[1]).read("pm_uninstall.exe"))' \
    "$work/payload/pixelmoor-payload.zip" "$check/pm_uninstall.exe"
  verify=(--cert "$cert" --password-file "$password")
  [ -z "$ca" ] || verify+=(--ca "$ca")
  [ -z "$timestamp" ] || [ ! -f /etc/ssl/certs/ca-certificates.crt ] || verify+=(--tsa-ca /etc/ssl/certs/ca-certificates.crt)
  python3 "$root/tools/release/signing.py" verify "${verify[@]}" "$check/pm_uninstall.exe" "$setup" \
    | sed 's/^/== /' || exit 1
  echo "== Signed: pm_uninstall.exe (before packing) and $name; both signatures verify"
else
  echo "== Unsigned: no --sign-cert given"
fi

mkdir -p "$out"
out=$(cd "$out" && pwd)
identifier=$(python3 "$root/tools/release/winget_manifests.py" --identifier)
rm -f "$out"/pixelmoor-*-setup-x64.exe "$out"/SHA256SUMS "$out/$identifier".*yaml
cp "$setup" "$out/$name"
(cd "$out" && sha256sum "$name" > SHA256SUMS)
if [ -n "$download" ]; then
  python3 "$root/tools/release/winget_manifests.py" --setup "$out/$name" --version "$version" \
    --app-manifest "$work/resources/pixelmoor_setup.manifest" --download-url "$download" --out "$out"
  echo "== Wrote the winget manifests for $download"
else
  echo "== No --download-url: wrote no winget manifest"
fi
echo "== Release $version in $out:"
ls -l "$out"
