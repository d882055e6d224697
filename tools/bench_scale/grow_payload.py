#!/usr/bin/env python3
"""Grows the stand-in payload to the size of a real viewer, for the scale benchmark.

Usage: grow_payload.py STANDIN.zip PLUGINS OUTDIR [--seed TEXT] [--per-folder N]

Writes OUTDIR/viewer/, a folder laid out as an installation: the stand-in
archive's files unpacked, plus PLUGINS plug-in-like files of 1 to 300 KB in
folders of N (25 unless given) below Plugins/Extra/. Half of every plug-in's bytes are noise
(incompressible), the other half records drawn from a small table of the
file's own (they deflate about as well as program code). Everything comes
from a generator seeded with the seed and the count, so the same arguments
always give the same bytes; files that already hold them are left alone (so
their times tell whether the folder changed).

Also writes OUTDIR/entries.txt, the list that payload/scripts/make_zip.py packs:
the stand-in's entries in their archive order, then each plug-in folder
followed by its files.
"""

import argparse
import os
import random
import sys
import zipfile

MIN_BYTES = 1024
MAX_BYTES = 300 * 1024
BLOCK = 4096  # noise and records alternate in blocks of this size
RECORD = 64
TABLE_ROWS = 32
PLUGIN_ROOT = "Plugins/Extra"


def plugin_bytes(rng, size):
    table = [rng.randbytes(RECORD) for _ in range(TABLE_ROWS)]
    out = bytearray()
    noise = True
    while len(out) < size:
        if noise:
            out += rng.randbytes(BLOCK)
        else:
            out += b"".join(table[i % TABLE_ROWS] for i in rng.randbytes(BLOCK // RECORD))
        noise = not noise
    return bytes(out[:size])


def write_if_changed(path, data):
    if os.path.isfile(path) and os.path.getsize(path) == len(data):
        with open(path, "rb") as f:
            if f.read() == data:
                return
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("standin")
    parser.add_argument("plugins", type=int)
    parser.add_argument("out")
    parser.add_argument("--seed", default="pixelmoor-scale")
    parser.add_argument("--per-folder", type=int, default=25)
    args = parser.parse_args()
    viewer = os.path.join(os.path.abspath(args.out), "viewer")
    entries = []
    with zipfile.ZipFile(args.standin) as standin:
        for info in standin.infolist():
            path = os.path.join(viewer, info.filename)
            if info.is_dir():
                os.makedirs(path, exist_ok=True)
                entries.append(info.filename)
            else:
                write_if_changed(path, standin.read(info))
                entries.append("%s\t%s" % (info.filename, path))

    rng = random.Random("%s/%d" % (args.seed, args.plugins))
    if args.plugins:
        entries.append(PLUGIN_ROOT + "/")
    for n in range(args.plugins):
        folder = "%s/Set%03d/" % (PLUGIN_ROOT, n // args.per_folder)
        if n % args.per_folder == 0:
            entries.append(folder)
        name = folder + "Module%04d.dll" % n
        path = os.path.join(viewer, name)
        write_if_changed(path, plugin_bytes(rng, rng.randint(MIN_BYTES, MAX_BYTES)))
        entries.append("%s\t%s" % (name, path))

    listing = ("\n".join(entries) + "\n").encode()
    write_if_changed(os.path.join(os.path.abspath(args.out), "entries.txt"), listing)
    print(viewer)


if __name__ == "__main__":
    sys.exit(main())
