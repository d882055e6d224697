#!/usr/bin/env python3
"""Writes a tiny stand-in payload while the real one is not part of the build:
one stored text entry with a fixed date, so the bytes never change.

usage: placeholder_zip.py TARGET
"""

import sys
import zipfile


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    entry = zipfile.ZipInfo("PLACEHOLDER.txt", date_time=(2024, 1, 1, 0, 0, 0))
    entry.external_attr = 0o644 << 16
    with zipfile.ZipFile(argv[1], "w", compression=zipfile.ZIP_STORED) as archive:
        archive.writestr(entry, "This setup was built without the viewer's files.\r\n")


if __name__ == "__main__":
    main(sys.argv)
