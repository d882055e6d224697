#!/usr/bin/env bash
# Runs the full-drive case of the silent installation tests on a drive of
# 2 MB: a tmpfs mounted below the Wine root and mapped to drive R:. Where
# mounting is not allowed (no root, a container without the right), the test
# is reported as skipped (exit status 77) and says why.
# Usage: small_drive.sh <wine root> <test program>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tools/wine/env.sh" "${1:?wine root folder}"
program=${2:?test program}
mount_point="$pm_wine_root/small_drive"
drive_link="$WINEPREFIX/dosdevices/r:"

mkdir -p "$mount_point"
# A drive left behind by a run that was killed goes first.
if mountpoint -q "$mount_point"; then umount "$mount_point" 2>/dev/null || umount -l "$mount_point"; fi
if ! error=$(mount -t tmpfs -o size=2m,mode=0777 pixelmoor-small-drive "$mount_point" 2>&1); then
  echo "SKIPPED: the full-drive test needs a 2 MB tmpfs, and mounting one is not allowed here: $error"
  exit 77
fi
cleanup() {
  rm -f "$drive_link"
  umount "$mount_point" 2>/dev/null || umount -l "$mount_point"
}
trap cleanup EXIT
trap 'exit 143' TERM INT
ln -sfn "$mount_point" "$drive_link"
echo "drive R: is a tmpfs of $(df -k --output=size "$mount_point" | tail -n 1 | tr -d ' ') KB"
PIXELMOOR_SMALL_DRIVE='R:' wine "$program" --gtest_filter='SilentInstallTest.FullDriveFailsTheInstallation'
