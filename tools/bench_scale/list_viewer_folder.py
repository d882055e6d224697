#!/usr/bin/env python3
"""Lists a viewer folder as the payload's entries, for the scale benchmark.

Usage: list_viewer_folder.py FOLDER UNINSTALLER LIST

Writes LIST, the entry list that payload/scripts/make_zip.py packs, in the
order in which a viewer folder goes into the payload: p_moor64.exe, then the
build's uninstaller, then the folder's other files, then each subfolder as
its folder entry followed by its own contents, every level sorted by name.
Stands in for the build's own reading of a viewer folder until the scale
benchmark hands the folder to the build itself.
"""

import os
import sys

VIEWER = "p_moor64.exe"
UNINSTALLER = "pm_uninstall.exe"


def walk(folder, prefix, entries):
    here = os.path.join(folder, prefix)
    names = sorted(os.listdir(here))
    files = [n for n in names if os.path.isfile(os.path.join(here, n))]
    folders = [n for n in names if os.path.isdir(os.path.join(here, n))]
    for name in files:
        if prefix + name not in (VIEWER, UNINSTALLER):
            entries.append("%s\t%s" % (prefix + name, os.path.join(here, name)))
    for name in folders:
        entries.append(prefix + name + "/")
        walk(folder, prefix + name + "/", entries)


def main():
    folder, uninstaller, listing = sys.argv[1:4]
    folder = os.path.abspath(folder)
    entries = ["%s\t%s" % (VIEWER, os.path.join(folder, VIEWER)), "%s\t%s" % (UNINSTALLER, os.path.abspath(uninstaller))]
    walk(folder, "", entries)
    text = "\n".join(entries) + "\n"
    # Written only when it changed, so that its time tells whether to pack again.
    if not os.path.isfile(listing) or open(listing, encoding="utf-8").read() != text:
        with open(listing, "w", encoding="utf-8") as f:
            f.write(text)


if __name__ == "__main__":
    sys.exit(main())
