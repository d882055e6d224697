#!/usr/bin/env bash
# Makes the releases that the release tests look at, from viewer folders of
# the test's own (a few files, versions 4.76 and 4.77, each with an icon
# library newer than the stand-in's) and code-signing certificates made here
# with openssl, and checks what a release must refuse or leave out, how it
# checks its signatures, that it is made the same way twice and into a build
# folder that made another version.
#
# Usage: make_releases.sh <work folder> <the product's build> <schema folder>
#          <test viewer 4.76> <test viewer 4.77> <icon library 4.40> <icon library 4.50>
# The manifests are validated against the winget schemas of the schema
# folder. Leaves for release_e2e: <work>/viewer and <work>/viewer-4.77 (the
# viewer folders), <work>/signed (the signed 4.76 release with its
# manifests), <work>/release-4.77, and <work>/manifest-facts.txt (what the
# 4.76 installer manifest says, read by a YAML loader).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$1 from=$2 schemas=$3 test_viewer=$4 test_viewer_477=$5 icons_440=$6 icons_450=$7
release=$root/tools/release.sh
signing=$root/tools/release/signing.py
rm -rf "$work"; mkdir -p "$work"
fail() { echo "FAILED: $*" >&2; exit 1; }

# The viewer folder: the viewer program, release notes with umlauts and
# Windows line ends, plug-ins with the icon library, a name with a blank, an
# empty folder.
viewer=$work/viewer
mkdir -p "$viewer/Plugins/Plugins32" "$viewer/Html" "$viewer/Languages" "$viewer/Skins"
cp "$test_viewer" "$viewer/p_moor64.exe"
printf 'Pixelmoor 4.76 - Neuerungen\r\n\r\n- Schnellere Vorschau für große Bilder\r\n- Neue Symbolleiste\r\n\r\n' \
  > "$viewer/p_changes.txt"
head -c 70000 /dev/urandom > "$viewer/Plugins/Probe.dll"
cp "$icons_440" "$viewer/Plugins/Icons.dll"
printf 'bridge' > "$viewer/Plugins/Plugins32/Bridge.dll"
printf '<html><body>Neue Seite</body></html>\n' > "$viewer/Html/Neue Seite.htm"
printf 'Deutsch' > "$viewer/Languages/Deutsch.dll"
# The next version: another viewer program and a newer icon library, in a
# folder that tools have left their files in.
viewer_477=$work/viewer-4.77
cp -r "$viewer" "$viewer_477"
cp "$test_viewer_477" "$viewer_477/p_moor64.exe"
cp "$icons_450" "$viewer_477/Plugins/Icons.dll"
printf 'Pixelmoor 4.77 - Neuerungen\r\n\r\n- Neue Symbole\r\n' > "$viewer_477/p_changes.txt"
mkdir -p "$viewer_477/.git"; printf 'ref: refs/heads/main\n' > "$viewer_477/.git/HEAD"
printf 'finder' > "$viewer_477/Html/.DS_Store"
printf 'thumbnails' > "$viewer_477/Thumbs.db"
printf '[.ShellClassInfo]\r\n' > "$viewer_477/Plugins/desktop.ini"

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
  python3 "$root/payload/scripts/viewer_folder.py" list "$folder" /x/pm_uninstall.exe "$work/list.txt" "$work/list.d" \
    "$work/left-out.txt"
}
# The viewer-folder refusals, names first: <what> <expected text> <names...>.
while IFS='|' read -r what expected names; do
  # shellcheck disable=SC2086 # the names are split at blanks
  check_refused "$what" "$expected" list_names $names
done <<'EOF'
a colon (a stream or a drive)|Html/a:b.htm|Html/a:b.htm
a device name|Plugins/aux.dll: Windows takes this name for a device|Plugins/aux.dll
the console's output, with an extension|Html/CONOUT$.txt: Windows takes this name for a device|Html/CONOUT$.txt
the console's input|conin$: Windows takes this name for a device|conin$
COM0, reserved by newer Windows|Plugins/com0.dll: Windows takes this name for a device|Plugins/com0.dll
LPT0, reserved by newer Windows|LPT0: Windows takes this name for a device|LPT0
a name ending in a dot|readme.|readme.
a name that is not ASCII|Über.txt|Über.txt
names only capitals tell apart|README.txt|README.txt readme.txt
the setup's own uninstaller|pm_uninstall.exe: the setup writes its own pm_uninstall.exe|pm_uninstall.exe
the uninstaller in capitals|PM_UNINSTALL.EXE: the setup writes its own|PM_UNINSTALL.EXE
a folder of the uninstaller's name|Pm_Uninstall.exe/: the setup writes its own|Pm_Uninstall.exe/readme.txt
the settings file, which the setup rewrites|P_MOOR64.INI: the setup writes its own p_moor64.ini|P_MOOR64.INI
the settings file's temporary copy|p_moor64.ini_temp: the setup writes its own|p_moor64.ini_temp
the setup's log|pixelmoor_install.log: the setup writes its own Pixelmoor_Install.log|pixelmoor_install.log
the uninstaller's log|Pixelmoor_Uninstall.LOG: the setup writes its own|Pixelmoor_Uninstall.LOG
the short name Windows gives the uninstaller|PM_UNI~1.EXE: a name of the form of a short name|PM_UNI~1.EXE
a short name's form below the top|Html/GALERI~2.HTM: a name of the form|Html/GALERI~2.HTM
a name the icon library rule would pass over|Skins/MyIcons.dll: where an installed Plugins/Icons.dll is newer|Skins/MyIcons.dll
a folder the icon library rule would pass over|Plugins/Icons.dll.old/: where an installed|Plugins/Icons.dll.old/a.dll
EOF
check_refused "a name too long for the default folder" "is 233 characters long" list_names "$(printf 'x%.0s' $(seq 233))"
check_refused "a folder too long for the name the setup writes in it" "the folder is 218 characters long" \
  list_names "$(printf 'd%.0s' $(seq 218))/a.txt"
check_refused "a name that the setup uses while it unpacks" "uses this name while it unpacks" \
  list_names "Plugins/~pm_unpack.new"
# Below the top the setup writes nothing of its own; a tilde alone is no short name.
list_names "Html/Neue Seite.htm" "Skins/Basalt_16.png" "Help/pm_uninstall.exe" "Plugins/p_moor64.ini" \
  "Html/Pixelmoor_Install.log" "Skins/dark~theme.png" "Plugins/ICONS.DLL" >/dev/null || fail "ordinary names refused"
# What tools leave behind is left out, in any capitals and at any depth, and named.
list_names ".git/HEAD" "Html/.DS_Store" "THUMBS.DB" "Plugins/Desktop.ini" "Html/Index.htm" > "$work/left-out.log"
printf '.git\nTHUMBS.DB\nHtml/.DS_Store\nPlugins/Desktop.ini\n' | cmp -s - "$work/left-out.txt" \
  || { cat "$work/left-out.txt" >&2; fail "the left-out files are not listed"; }
grep -q "names/Html/.DS_Store: left out, never shipped" "$work/left-out.log" || fail "a left-out file is not named"
cut -f1 "$work/list.txt" | tr '\n' ' ' | grep -qx 'p_moor64.exe pm_uninstall.exe Html/ Html/Index.htm Plugins/ ' \
  || { cat "$work/list.txt" >&2; fail "left-out files are listed"; }

# An icon library without a version record: the setup's rule could not
# compare an installed one with it.
printf 'Plugins/\nPlugins/Icons.dll\t%s\n' "$viewer/Html/Neue Seite.htm" > "$work/icons-list.txt"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1], "w").write(sys.argv[2], "Plugins/Icons.dll")' \
  "$work/icons.zip" "$viewer/Html/Neue Seite.htm"
check_refused "an icon library without a version record" "Html/Neue Seite.htm: no version record could be read" \
  python3 "$root/payload/scripts/make_facts_header.py" "$work/icons-list.txt" "$work/icons.zip" "$work/record.h"

# What tools/release.sh refuses before it builds anything: folders that
# would make a release pack its own output (links followed), a path that
# CMake would split, a version other than the packed viewer's.
ln -s "$viewer" "$work/viewer-link"
mkdir -p "$work/semi;colon" && cp -r "$viewer/." "$work/semi;colon"
mkdir -p "$work/no-viewer/Plugins"
while IFS='|' read -r what expected options; do
  # shellcheck disable=SC2086 # the options are split at blanks
  check_refused "$what" "$expected" bash "$release" --from "$from" $options
done <<EOF
--out inside the viewer folder|--out $viewer/dist lies inside the viewer folder|--out $viewer/dist --viewer $viewer --build $work/build-a
--build inside the viewer folder, named through a link|--build $work/viewer-link/build lies inside the viewer folder|--out $work/refused --viewer $viewer --build $work/viewer-link/build
the viewer folder inside --out|lies inside --out $work|--out $work --viewer $viewer --build $work/build-a
the viewer folder inside --build|lies inside --build $work|--out $work/refused --viewer $viewer --build $work
a ";" in the viewer folder's path|which CMake takes for a list separator|--out $work/refused --viewer $work/semi;colon --build $work/build-a
a backslash in the build folder's path|which CMake takes for a folder separator|--out $work/refused --viewer $viewer --build $work/back\slash
a folder without the viewer|$work/no-viewer/p_moor64.exe|--out $work/refused --viewer $work/no-viewer --build $work/build-a
a version other than the viewer's|says 4.76|--out $work/refused --viewer $viewer --version 4.77 --build $work/build-a
a version other than the stand-in's, without a viewer folder|says 4.75|--out $work/refused --version 4.80 --build $work/build-a
a version that the uninstall entry cannot hold|"4.076"|--out $work/refused --viewer $viewer --version 4.076 --build $work/build-a
EOF
# The download address, refused before anything is built: <what>|<address>.
while IFS='|' read -r what address; do
  printf -v address '%b' "$address"  # \n and \001 stand for the characters
  check_refused "a download address with $what" "cannot be named in the manifests" \
    bash "$release" --out "$work/refused" --viewer "$viewer" --from "$from" --build "$work/build-a" \
    --download-url "$address"
done <<'EOF'
a line break at its end|https://downloads.pixelmoor.example/pixelmoor-4.76-setup-x64.exe\n
another scheme|ftp://downloads.pixelmoor.example/pixelmoor-4.76-setup-x64.exe
no scheme (a bare file name)|pixelmoor-4.76-setup-x64.exe
plain http|http://downloads.pixelmoor.example/pixelmoor-4.76-setup-x64.exe
no host|https:///pixelmoor-4.76-setup-x64.exe
a control character|https://downloads.pixelmoor.example/pixelmoor\001-4.76-setup-x64.exe
a blank|https://downloads.pixelmoor.example/pixelmoor 4.76 setup.exe
a character beyond ASCII|https://downloads.pixelmoor.example/pixelmoor-4.76-einrichtung-für-x64.exe
EOF

# The same input twice, in two build folders whose paths differ even in
# length, without signatures: the same bytes.
bash "$release" --out "$work/unsigned-a" --viewer "$viewer" --from "$from" --build "$work/build-a" > "$work/a.log"
bash "$release" --out "$work/unsigned-b" --viewer "$viewer" --from "$from" --build "$work/second-build" > "$work/b.log"
grep -q "Unsigned" "$work/a.log" || fail "an unsigned release does not say so"
grep -q "wrote no winget manifest" "$work/a.log" || fail "a release without a download address does not say so"
cmp "$work/unsigned-a/pixelmoor-4.76-setup-x64.exe" "$work/unsigned-b/pixelmoor-4.76-setup-x64.exe" \
  || fail "two builds of the same input differ"

# Code-signing certificates of the test's own, never kept: a root, an
# intermediate and the maker's certificate below it, as an authority
# delivers them; another root; and a self-signed one. The password files
# hold the password on their first line, with LF or CR LF and a note after it.
cert=$work/cert; mkdir -p "$cert"
password=test-$RANDOM$RANDOM
printf '%s\n' "$password" > "$cert/password"
printf '%s\r\nDas Kennwort des Zertifikats, bis 2027\r\n' "$password" > "$cert/password-crlf-note"
printf 'wrong\n' > "$cert/password-wrong"
make_ca() {  # <name> <subject> [<issuer name>]: a CA certificate, self-signed without an issuer
  local name=$1 subject=$2 issuer=${3:-}
  if [ -z "$issuer" ]; then
    openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "$subject" -keyout "$cert/$name.key" \
      -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" -out "$cert/$name.pem" 2>/dev/null
  else
    openssl req -new -newkey rsa:2048 -nodes -subj "$subject" -keyout "$cert/$name.key" -out "$cert/$name.csr" 2>/dev/null
    printf 'basicConstraints=critical,CA:TRUE\nkeyUsage=critical,keyCertSign\n' > "$cert/$name.ext"
    openssl x509 -req -in "$cert/$name.csr" -CA "$cert/$issuer.pem" -CAkey "$cert/$issuer.key" -set_serial "0x$RANDOM$RANDOM" \
      -days 2 -sha256 -extfile "$cert/$name.ext" -out "$cert/$name.pem" 2>/dev/null
  fi
}
make_ca root "/CN=Pixelmoor Test Root"
make_ca intermediate "/CN=Pixelmoor Test Code Signing CA" root
make_ca other-root "/CN=Another Test Root"
openssl req -new -newkey rsa:2048 -nodes -subj "/CN=Keldaris Test Maker" -keyout "$cert/maker.key" -out "$cert/maker.csr" 2>/dev/null
printf 'extendedKeyUsage=codeSigning\nkeyUsage=critical,digitalSignature\n' > "$cert/maker.ext"
openssl x509 -req -in "$cert/maker.csr" -CA "$cert/intermediate.pem" -CAkey "$cert/intermediate.key" \
  -set_serial "0x$RANDOM$RANDOM" -days 2 -sha256 -extfile "$cert/maker.ext" -out "$cert/maker.pem" 2>/dev/null
openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=Pixelmoor Test Signing" \
  -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
  -keyout "$cert/self.key" -out "$cert/self.pem" 2>/dev/null
pfx() {  # <name> <key> <certificate> [<chain file>]
  local chain=(); [ -z "${4:-}" ] || chain=(-certfile "$4")
  openssl pkcs12 -export -inkey "$cert/$2.key" -in "$cert/$3.pem" "${chain[@]}" -passout "file:$cert/password" \
    -out "$cert/$1.pfx"
}
cat "$cert/intermediate.pem" "$cert/root.pem" > "$cert/intermediate-and-root.pem"
pfx self self self
pfx chain maker maker "$cert/intermediate.pem"
pfx full maker maker "$cert/intermediate-and-root.pem"
rm "$cert"/*.key

# The certificate forms, each signing a program and checking its signature
# as a release does: <PKCS#12>|<password file>|<root given>|<expected output>.
while IFS='|' read -r pkcs12 pass ca expected; do
  cp "$test_viewer" "$work/signed-program.exe"
  ca_option=(); [ -z "$ca" ] || ca_option=(--ca "$cert/$ca")
  check() {
    python3 "$signing" sign --cert "$cert/$pkcs12" --password-file "$cert/$pass" "$work/signed-program.exe" &&
      python3 "$signing" verify --cert "$cert/$pkcs12" --password-file "$cert/$pass" "${ca_option[@]}" \
        "$work/signed-program.exe"
  }
  case $expected in
    REFUSED:*) check_refused "$pkcs12 with $pass and ${ca:-no root}" "${expected#REFUSED:}" check ;;
    *) check > "$work/signing.log" 2>&1 && grep -qF -- "$expected" "$work/signing.log" ||
         { cat "$work/signing.log" >&2; fail "$pkcs12 with $pass and ${ca:-no root}: no \"$expected\""; } ;;
  esac
done <<'EOF'
self.pfx|password||verifies up to the root that the certificate file carries (CN=Pixelmoor Test Signing)
chain.pfx|password||verifies up to CN=Pixelmoor Test Code Signing CA, the top of the chain that the certificate file carries; its root (CN=Pixelmoor Test Root) is not in it and not checked
chain.pfx|password|root.pem|verifies up to a root of
full.pfx|password||verifies up to the root that the certificate file carries (CN=Pixelmoor Test Root)
chain.pfx|password-crlf-note||the top of the chain that the certificate file carries
full.pfx|password-crlf-note|root.pem|verifies up to a root of
chain.pfx|password|other-root.pem|REFUSED:does not verify
chain.pfx|password|intermediate.pem|REFUSED:does not verify
chain.pfx|password-wrong||REFUSED:cannot be signed
EOF
# A program changed after signing does not verify, wherever the chain ends.
python3 "$signing" sign --cert "$cert/chain.pfx" --password-file "$cert/password" "$work/signed-program.exe"
printf 'X' | dd of="$work/signed-program.exe" bs=1 seek=4096 conv=notrunc status=none
check_refused "a program changed after signing" "it was made over other bytes" \
  python3 "$signing" verify --cert "$cert/chain.pfx" --password-file "$cert/password" "$work/signed-program.exe"

# The release signed as authorities deliver certificates: the chain without
# its root in the PKCS#12 file, the root given, a password file with CR LF
# and a note.
url=https://downloads.pixelmoor.example
bash "$release" --out "$work/signed" --viewer "$viewer" --version 4.76 --sign-cert "$cert/chain.pfx" \
  --sign-password-file "$cert/password-crlf-note" --sign-ca "$cert/root.pem" \
  --download-url "$url/pixelmoor-4.76-setup-x64.exe" --from "$from" --build "$work/build-a" > "$work/signed.log"
setup=$work/signed/pixelmoor-4.76-setup-x64.exe
grep -q "pm_uninstall.exe: the signature verifies up to a root of $cert/root.pem" "$work/signed.log" \
  || fail "the release did not check the uninstaller's signature to the root"
grep -q "both signatures verify" "$work/signed.log" || fail "the release did not check both signatures"
# Debian's python3-jsonschema and python3-yaml (tools/deps.sh).
/usr/bin/python3 "$root/tests/release/validate_manifests.py" "$schemas" "$work/signed" || fail "the manifests are not valid"
/usr/bin/python3 "$root/tests/release/manifest_facts.py" "$work/signed/Keldaris.Pixelmoor.installer.yaml" \
  "$work/manifest-facts.txt"
(cd "$work/signed" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the setup"
osslsigncode verify -CAfile "$cert/root.pem" -in "$setup" >"$work/verify.log" 2>&1 || { cat "$work/verify.log"; fail "the signed setup does not verify"; }
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
if osslsigncode verify -CAfile "$cert/root.pem" -in "$work/tampered.exe" >"$work/tampered.log" 2>&1; then
  fail "a setup changed after signing still verifies"
fi

# The next version into the build folder that made 4.76, signed with the
# chain alone: exactly the setup that this run linked, the files that tools
# left named and left out, the signatures checked up to the chain's top.
bash "$release" --out "$work/release-4.77" --viewer "$viewer_477" --sign-cert "$cert/chain.pfx" \
  --sign-password-file "$cert/password" --download-url "$url/pixelmoor-4.77-setup-x64.exe" \
  --from "$from" --build "$work/build-a" > "$work/4.77.log"
[ "$(cd "$work/release-4.77" && echo pixelmoor-*-setup-x64.exe)" = pixelmoor-4.77-setup-x64.exe ] \
  || fail "the 4.77 release does not hand over exactly its own setup"
grep -q "setup-x64.exe: the signature verifies up to CN=Pixelmoor Test Code Signing CA, the top of the chain" \
  "$work/4.77.log" || { cat "$work/4.77.log" >&2; fail "the release does not say how far it checked the chain"; }
for left in .git Thumbs.db Html/.DS_Store Plugins/desktop.ini; do
  grep -qxF "== Left out of the payload, never shipped: $left" "$work/4.77.log" || fail "$left is not named as left out"
done
/usr/bin/python3 "$root/tests/release/validate_manifests.py" "$schemas" "$work/release-4.77" \
  || fail "the 4.77 manifests are not valid"
echo "releases made in $work"
