#!/usr/bin/env bash
# Builds a release of the setup: around the viewer's own files, with one
# version number, signed, with its checksum and the package manager's
# manifests (README "Releasing").
#
# Usage: tools/release.sh --out DIR [--viewer DIR] [--version X.YY]
#          [--sign-cert FILE.pfx --sign-password-file FILE] [--timestamp-url URL]
#          [--download-url URL] [--from BUILD] [--build DIR]
#
# --viewer          the viewer's files, laid out as an installation (default: the stand-in)
# --version         the version; without it, the version record of the viewer's p_moor64.exe
# --sign-cert       the code-signing certificate with its key and chain (PKCS#12)
# --sign-password-file  a file whose first line is the certificate's password
# --timestamp-url   an RFC 3161 time-stamp authority for the signatures
# --download-url    where the setup will be published; the manifests name it
# --from            the Windows build whose compiled product is linked (default build/windows;
#                   made by tools/build.sh when missing)
# --build           the release's own build folder (default build/release)
#
# The product is compiled once, in the --from build; a release only lists and
# packs the viewer's files, compiles the resources and small generated
# sources and links the two programs. The uninstaller is signed before it is
# packed, then the setup. Two releases of the same input without signatures
# are byte for byte the same.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
builds=${PIXELMOOR_BUILD_DIR:-$root/build}

out= viewer= version= cert= password= timestamp= download= from=$builds/windows work=$builds/release
usage() { sed -n '2,/^set -euo/p' "$0" | sed -n 's/^# \{0,1\}//p' >&2; exit 2; }
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || usage
  case $1 in
    --out) out=$2 ;;
    --viewer) viewer=$2 ;;
    --version) version=$2 ;;
    --sign-cert) cert=$2 ;;
    --sign-password-file) password=$2 ;;
    --timestamp-url) timestamp=$2 ;;
    --download-url) download=$2 ;;
    --from) from=$2 ;;
    --build) work=$2 ;;
    *) usage ;;
  esac
  shift 2
done
[ -n "$out" ] || usage
absolute() { (cd "$(dirname "$1")" && echo "$(pwd)/$(basename "$1")"); }
[ -z "$viewer" ] || viewer=$(cd "$viewer" && pwd)
if [ -n "$cert$password" ]; then
  [ -f "$cert" ] && [ -f "$password" ] || { echo "release: --sign-cert and --sign-password-file name two files" >&2; exit 2; }
  cert=$(absolute "$cert"); password=$(absolute "$password")
fi
[ -z "$timestamp" ] || [ -n "$cert" ] || { echo "release: --timestamp-url needs --sign-cert" >&2; exit 2; }
command -v osslsigncode >/dev/null || [ -z "$cert" ] || { echo "release: osslsigncode is missing (tools/deps.sh)" >&2; exit 1; }

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
  sign_command="bash \"$root/tools/release/sign.sh\" --cert \"$cert\" --password-file \"$password\""
  [ -z "$timestamp" ] || sign_command+=" --timestamp-url \"$timestamp\""
fi
mkdir -p "$work"
cmake -S "$root" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIXELMOOR_PRODUCT_FROM="$from" -DPIXELMOOR_VIEWER_DIR="$viewer" \
  -DPIXELMOOR_VERSION="$version" -DPIXELMOOR_SIGN_COMMAND="$sign_command" >"$work/configure.log" 2>&1 \
  || { sed -n '/CMake Error/,$p' "$work/configure.log" >&2; exit 1; }
# Everything of the release is made anew, never taken from an earlier one.
cmake --build "$work" --target clean >/dev/null
cmake --build "$work" >"$work/build.log" 2>&1 || { grep -v '^\[' "$work/build.log" >&2; exit 1; }

setup=$(ls "$work"/bin/pixelmoor-*-setup-x64.exe)
name=$(basename "$setup")
version=${name#pixelmoor-}; version=${version%-setup-x64.exe}

# Both signatures, the uninstaller's as the payload carries it.
if [ -n "$cert" ]; then
  check=$(mktemp -d); trap 'rm -rf "$check"' EXIT
  openssl pkcs12 -in "$cert" -passin "file:$password" -nokeys -out "$check/chain.pem" 2>/dev/null \
    || openssl pkcs12 -legacy -in "$cert" -passin "file:$password" -nokeys -out "$check/chain.pem"
  python3 -c 'import sys, zipfile; open(sys.argv[2], "wb").write(zipfile.ZipFile(sys.argv[1]).read("pm_uninstall.exe"))' \
    "$work/payload/pixelmoor-payload.zip" "$check/pm_uninstall.exe"
  verify=(-CAfile "$check/chain.pem")
  [ -z "$timestamp" ] || [ ! -f /etc/ssl/certs/ca-certificates.crt ] || verify+=(-TSA-CAfile /etc/ssl/certs/ca-certificates.crt)
  for program in "$check/pm_uninstall.exe" "$setup"; do
    osslsigncode verify "${verify[@]}" -in "$program" >"$check/verify.log" 2>&1 \
      || { cat "$check/verify.log" >&2; echo "release: the signature of $(basename "$program") does not verify" >&2; exit 1; }
  done
  echo "== Signed: pm_uninstall.exe (before packing) and $name; both signatures verify"
else
  echo "== Unsigned: no --sign-cert given"
fi

mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out"/pixelmoor-*-setup-x64.exe "$out"/SHA256SUMS "$out"/Keldaris.Pixelmoor*.yaml
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
