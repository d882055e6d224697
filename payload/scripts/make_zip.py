"""Packs the payload archive, byte for byte the same from the same inputs.

Usage: make_zip.py [--keep-line-ends] [--depfile <file>] <list> <archive>
Each line of the list is an entry in archive order: a folder name ending in
"/", or a name, a tab and the file to store under it. Folders are stored empty;
files are deflated at level 9. Every entry carries the same time stamp, MS-DOS
attributes (folder or archive) and no extra fields; the archive has no
comment. Text files (.txt, .htm) of the stand-in are stored with CR LF line
ends, as Windows users expect them; with --keep-line-ends (a viewer folder,
whose files are shipped as they are) every file is stored byte for byte. The
depfile names every file that was packed, so that the build packs again when
one of them changes.
"""

import argparse
import struct
import sys
import zlib

STAMP = (2026, 12, 1, 12, 0, 0)
DOS_TIME = (STAMP[3] << 11) | (STAMP[4] << 5) | (STAMP[5] // 2)
DOS_DATE = ((STAMP[0] - 1980) << 9) | (STAMP[1] << 5) | STAMP[2]
MADE_BY = 20  # version 2.0, MS-DOS attributes
TEXT_SUFFIXES = (".txt", ".htm")


def read_list(path):
    entries = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line:
                continue
            name, _, source = line.partition("\t")
            if not name.isascii() or "\\" in name:
                sys.exit("entry names are ASCII with / separators: %r" % name)
            if name.endswith("/") != (source == ""):
                sys.exit("a folder has no source and a file has one: %r" % line)
            entries.append((name, source))
    return entries


def content(source, keep_line_ends=False):
    with open(source, "rb") as f:
        data = f.read()
    if not keep_line_ends and source.lower().endswith(TEXT_SUFFIXES):
        data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    return data


def depfile_path(path):
    return path.replace("\\", "\\\\").replace(" ", "\\ ").replace("#", "\\#").replace("$", "$$")


def write_depfile(depfile, output, entries):
    sources = [source for _, source in entries if source]
    with open(depfile, "w", encoding="utf-8") as f:
        f.write("%s: %s\n" % (depfile_path(output), " \\\n  ".join(depfile_path(s) for s in sources)))


def write_if_changed(path, text):
    """Writes a made file only when its text changes, so that what is built
    from it is not built again needlessly."""
    try:
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return
    except FileNotFoundError:
        pass
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def arguments(doc, *positional):
    parser = argparse.ArgumentParser(description=doc)
    parser.add_argument("--keep-line-ends", action="store_true")
    parser.add_argument("--depfile")
    for name, nargs in positional:
        parser.add_argument(name, nargs=nargs)
    return parser.parse_args()


def deflate(data):
    compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
    return compressor.compress(data) + compressor.flush()


def build(entries, keep_line_ends):
    body = bytearray()
    directory = bytearray()
    for name, source in entries:
        raw_name = name.encode("ascii")
        if source:
            data = content(source, keep_line_ends)
            stored, method, needed, attributes = deflate(data), 8, 20, 0x20
        else:
            data, stored, method, needed, attributes = b"", b"", 0, 10, 0x10
        crc = zlib.crc32(data)
        common = struct.pack("<HHHHHIIIH", needed, 0, method, DOS_TIME, DOS_DATE, crc, len(stored), len(data),
                             len(raw_name))
        offset = len(body)
        body += b"PK\x03\x04" + common + struct.pack("<H", 0) + raw_name + stored
        directory += (b"PK\x01\x02" + struct.pack("<H", MADE_BY) + common +
                      struct.pack("<HHHHII", 0, 0, 0, 0, attributes, offset) + raw_name)
    end = b"PK\x05\x06" + struct.pack("<HHHHIIH", 0, 0, len(entries), len(entries), len(directory), len(body), 0)
    return bytes(body + directory + end)


def main():
    args = arguments(__doc__, ("list", None), ("archive", None))
    entries = read_list(args.list)
    archive = build(entries, args.keep_line_ends)
    with open(args.archive, "wb") as f:
        f.write(archive)
    if args.depfile:
        write_depfile(args.depfile, args.archive, entries)


if __name__ == "__main__":
    main()
