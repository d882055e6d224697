#!/usr/bin/env bash
# Makes the releases that the release tests look at, from a viewer folder of
# the test's own (a few files, version 4.76) and a code-signing certificate
# made here with openssl, and checks what a release must refuse, what it
# hands over and that it is made the same way twice.
#
# Usage: make_releases.sh <work folder> <the product's build> <test viewer program> <schema folder>
# The manifests are validated against the winget schemas of the schema
# folder. Leaves <work>/viewer (the viewer folder) and <work>/signed (the
# signed release with its manifests) for release_e2e.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$1 from=$2 test_viewer=$3 schemas=$4
release=$root/tools/release.sh
rm -rf "$work"; mkdir -p "$work"
fail() { echo "FAILED: $*" >&2; exit 1; }

# The viewer folder: the viewer program, release notes with umlauts and
# Windows line ends, a plug-in, a name with a blank, an empty folder.
viewer=$work/viewer
mkdir -p "$viewer/Plugins/Plugins32" "$viewer/Html" "$viewer/Languages" "$viewer/Skins"
cp "$test_viewer" "$viewer/p_moor64.exe"
printf 'Pixelmoor 4.76 - Neuerungen\r\n\r\n- Schnellere Vorschau für große Bilder\r\n- Neue Symbolleiste\r\n\r\n' \
  > "$viewer/p_changes.txt"
head -c 70000 /dev/urandom > "$viewer/Plugins/Probe.dll"
printf 'bridge' > "$viewer/Plugins/Plugins32/Bridge.dll"
printf '<html><body>Neue Seite</body></html>\n' > "$viewer/Html/Neue Seite.htm"
printf 'Deutsch' > "$viewer/Languages/Deutsch.dll"

# What the build refuses, each with a message that names the culprit. The
# names are checked where the viewer folder is listed.
check_refused() {  # <what> <expected text in the message> <command...>
  local what=$1 expected=$2; shift 2
  if "$@" >"$work/refused.log" 2>&1; then fail "$what: accepted"; fi
  # CMake wraps its messages at blanks, where the build folder's path puts them.
  tr -s ' \n' '  ' <"$work/refused.log" | grep -qF -- "$expected" ||
    { cat "$work/refused.log" >&2; fail "$what: no \"$expected\""; }
}
list_names() {  # <name> ...: a viewer folder holding these files beside the viewer program
  local folder=$work/names; rm -rf "$folder"; mkdir -p "$folder"; cp "$test_viewer" "$folder/p_moor64.exe"
  for name in "$@"; do mkdir -p "$folder/$(dirname "$name")"; : > "$folder/$name"; done
  python3 "$root/payload/scripts/viewer_folder.py" list "$folder" /x/pm_uninstall.exe "$work/list.txt" "$work/list.d"
}
check_refused "a colon (a stream or a drive)" "Html/a:b.htm" list_names "Html/a:b.htm"
check_refused "a device name" "Plugins/aux.dll" list_names "Plugins/aux.dll"
check_refused "a name ending in a dot" "readme." list_names "readme."
check_refused "a name that is not ASCII" "Über.txt" list_names "Über.txt"
check_refused "names only capitals tell apart" "README.txt" list_names "README.txt" "readme.txt"
check_refused "a name too long for the default folder" "is 233 characters long" list_names "$(printf 'x%.0s' $(seq 233))"
check_refused "the setup's own uninstaller" "pm_uninstall.exe" list_names "pm_uninstall.exe"
check_refused "a folder too long for the name the setup writes in it" "the folder is 218 characters long" \
  list_names "$(printf 'd%.0s' $(seq 218))/a.txt"
check_refused "a name that the setup uses while it unpacks" "uses this name while it unpacks" \
  list_names "Plugins/~pm_unpack.new"
mkdir -p "$work/no-viewer/Plugins"
check_refused "a folder without the viewer" "$work/no-viewer/p_moor64.exe" \
  bash "$release" --out "$work/refused" --viewer "$work/no-viewer" --from "$from" --build "$work/build-a"
check_refused "a version other than the viewer's" "says 4.76" \
  bash "$release" --out "$work/refused" --viewer "$viewer" --version 4.77 --from "$from" --build "$work/build-a"
check_refused "a version that the uninstall entry cannot hold" "\"4.076\"" \
  bash "$release" --out "$work/refused" --viewer "$viewer" --version 4.076 --from "$from" --build "$work/build-a"
list_names "Html/Neue Seite.htm" "Skins/Basalt_16.png" >/dev/null || fail "ordinary names refused"

# The same input twice, in two build folders whose paths differ even in
# length, without signatures: the same bytes.
bash "$release" --out "$work/unsigned-a" --viewer "$viewer" --from "$from" --build "$work/build-a" > "$work/a.log"
bash "$release" --out "$work/unsigned-b" --viewer "$viewer" --from "$from" --build "$work/second-build" > "$work/b.log"
grep -q "Unsigned" "$work/a.log" || fail "an unsigned release does not say so"
grep -q "wrote no winget manifest" "$work/a.log" || fail "a release without a download address does not say so"
cmp "$work/unsigned-a/pixelmoor-4.76-setup-x64.exe" "$work/unsigned-b/pixelmoor-4.76-setup-x64.exe" \
  || fail "two builds of the same input differ"

# A code-signing certificate of the test's own, never kept: a self-signed
# one with its key in a PKCS#12 file under a password.
cert=$work/cert; mkdir -p "$cert"
printf 'test-%s\n' "$RANDOM$RANDOM" > "$cert/password"
openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=Pixelmoor Test Signing" \
  -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
  -keyout "$cert/key.pem" -out "$cert/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$cert/key.pem" -in "$cert/cert.pem" -passout "file:$cert/password" -out "$cert/signing.pfx"
rm "$cert/key.pem"

bash "$release" --out "$work/signed" --viewer "$viewer" --version 4.76 --sign-cert "$cert/signing.pfx" \
  --sign-password-file "$cert/password" --download-url "https://downloads.pixelmoor.example/pixelmoor-4.76-setup-x64.exe" \
  --from "$from" --build "$work/build-a" > "$work/signed.log"
setup=$work/signed/pixelmoor-4.76-setup-x64.exe
grep -q "both signatures verify" "$work/signed.log" || fail "the release did not check both signatures"
# Debian's python3-jsonschema and python3-yaml (tools/deps.sh).
/usr/bin/python3 "$root/tests/release/validate_manifests.py" "$schemas" "$work/signed" || fail "the manifests are not valid"
(cd "$work/signed" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the setup"
osslsigncode verify -CAfile "$cert/cert.pem" -in "$setup" >"$work/verify.log" 2>&1 || { cat "$work/verify.log"; fail "the signed setup does not verify"; }
# One byte changed after signing, in the payload deep inside the file.
cp "$setup" "$work/tampered.exe"
python3 - "$work/tampered.exe" <<'EOF'
import sys
with open(sys.argv[1], "r+b") as f:
    f.seek(200000)
    byte = f.read(1)
    f.seek(200000)
    f.write(bytes([byte[0] ^ 0x01]))
EOF
if osslsigncode verify -CAfile "$cert/cert.pem" -in "$work/tampered.exe" >"$work/tampered.log" 2>&1; then
  fail "a setup changed after signing still verifies"
fi
echo "releases made in $work"
