#!/usr/bin/env python3
"""Turns a text file into the form the setup shows: UTF-16LE that starts
with the byte-order mark FF FE, every line ended by CR LF.

The source may be UTF-8 (with or without its mark) or UTF-16 with its mark;
a file that is neither is read as Windows Latin-1 (code page 1252), the
encoding of older release notes.

The wizard copies at most 20479 bytes of the resource into a cleared buffer of
20480 bytes; a longer text would be cut, so it stops the build instead.

usage: to_utf16_text.py [--missing-is-empty --depfile FILE] SOURCE TARGET
With --missing-is-empty a missing source gives an empty text (the mark
alone); the depfile then names the source's folder as well, so that the
build converts again when the source appears or goes.
"""

import argparse
import os
import sys

SIZE_LIMIT = 20478  # whole UTF-16 characters that still leave the terminating zero


def decode(data):
    if data.startswith((b"\xff\xfe", b"\xfe\xff")):
        return data.decode("utf-16")
    try:
        return data.decode("utf-8-sig")
    except UnicodeDecodeError:
        return data.decode("cp1252", errors="replace")


def convert(text):
    lines = text.replace("\r\n", "\n").replace("\r", "\n").split("\n")
    return b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le")


def depfile_path(path):
    return path.replace("\\", "\\\\").replace(" ", "\\ ").replace("#", "\\#").replace("$", "$$")


def main():
    parser = argparse.ArgumentParser(usage=__doc__)
    parser.add_argument("--missing-is-empty", action="store_true")
    parser.add_argument("--depfile")
    parser.add_argument("source")
    parser.add_argument("target")
    args = parser.parse_args()
    if args.missing_is_empty and not os.path.isfile(args.source):
        data = convert("")
    else:
        with open(args.source, "rb") as f:
            data = convert(decode(f.read()))
    if len(data) > SIZE_LIMIT:
        sys.exit(f"{args.source}: {len(data)} bytes as UTF-16, more than the {SIZE_LIMIT} the wizard shows")
    with open(args.target, "wb") as f:
        f.write(data)
    if args.depfile:
        read = [os.path.dirname(os.path.abspath(args.source))]
        if os.path.isfile(args.source):
            read.append(os.path.abspath(args.source))
        with open(args.depfile, "w", encoding="utf-8") as f:
            f.write("%s: %s\n" % (depfile_path(args.target), " ".join(depfile_path(p) for p in read)))


if __name__ == "__main__":
    main()
