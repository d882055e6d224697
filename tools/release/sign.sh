#!/usr/bin/env bash
# Signs a Windows program in place with Authenticode through Debian's
# osslsigncode: SHA-256 digest, the certificate with the chain that its
# PKCS#12 file holds, and an RFC 3161 time stamp from the given authority.
# The build calls it right after a program's link (PIXELMOOR_SIGN_COMMAND,
# set by tools/release.sh), so that what is packed or shipped is signed.
#
# Usage: sign.sh --cert FILE.pfx --password-file FILE [--timestamp-url URL] PROGRAM
set -euo pipefail
cert= password= timestamp=
while [ $# -gt 1 ]; do
  case $1 in
    --cert) cert=$2; shift 2 ;;
    --password-file) password=$2; shift 2 ;;
    --timestamp-url) timestamp=$2; shift 2 ;;
    *) echo "sign.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
program=${1:?usage: sign.sh --cert FILE.pfx --password-file FILE [--timestamp-url URL] PROGRAM}
[ -n "$cert" ] && [ -n "$password" ] || { echo "sign.sh: --cert and --password-file are needed" >&2; exit 2; }

options=(-pkcs12 "$cert" -readpass "$password" -h sha256 -n "Pixelmoor")
[ -z "$timestamp" ] || options+=(-ts "$timestamp")
signed=$(mktemp "$program.signing.XXXXXX")
trap 'rm -f "$signed"' EXIT
rm -f "$signed"  # osslsigncode writes a new file
osslsigncode sign "${options[@]}" -in "$program" -out "$signed" >/dev/null
mv "$signed" "$program"
