#!/usr/bin/env python3
"""Turns a UTF-8 text file into the form the setup shows: UTF-16LE that starts
with the byte-order mark FF FE, every line ended by CR LF.

The wizard copies at most 20479 bytes of the resource into a cleared buffer of
20480 bytes; a longer text would be cut, so it stops the build instead.

usage: to_utf16_text.py SOURCE TARGET
"""

import sys

SIZE_LIMIT = 20478  # whole UTF-16 characters that still leave the terminating zero


def convert(text):
    text = text.removeprefix("\ufeff")
    lines = text.replace("\r\n", "\n").replace("\r", "\n").split("\n")
    return b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le")


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    with open(argv[1], encoding="utf-8") as f:
        data = convert(f.read())
    if len(data) > SIZE_LIMIT:
        sys.exit(f"{argv[1]}: {len(data)} bytes as UTF-16, more than the {SIZE_LIMIT} the wizard shows")
    with open(argv[2], "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv)
