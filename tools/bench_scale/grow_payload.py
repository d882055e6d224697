#!/usr/bin/env python3
"""Grows the stand-in viewer to the size of a real one, for the scale benchmark.

Usage: grow_payload.py STANDIN.zip PLUGINS FOLDER [--seed TEXT] [--per-folder N] [--noise-kb K]

Makes FOLDER a viewer folder, laid out as an installation is (the form in
which a real viewer goes into the build): the stand-in archive's files as it
installs them, without the uninstaller (each build adds its own), plus
PLUGINS plug-in-like files of 1 to 300 KB in folders of N (25 unless given)
below Plugins/Extra/. Half of every plug-in's bytes are noise
(incompressible), the other half records drawn from a small table of the
file's own (they deflate about as well as program code). With --noise-kb
every plug-in is instead K KB of noise alone. Everything comes
from a generator seeded with the seed and the count, so the same arguments
always give the same bytes; files that already hold them are left alone (so
their times tell whether the folder changed), and anything else in FOLDER is
removed.
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
UNINSTALLER = "pm_uninstall.exe"


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


def remove_others(folder, kept):
    """Removes every file and folder below folder that is not in kept."""
    for here, folders, files in os.walk(folder, topdown=False):
        for name in files:
            path = os.path.join(here, name)
            if path not in kept:
                os.remove(path)
        for name in folders:
            path = os.path.join(here, name)
            if path not in kept:
                os.rmdir(path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("standin")
    parser.add_argument("plugins", type=int)
    parser.add_argument("folder")
    parser.add_argument("--seed", default="pixelmoor-scale")
    parser.add_argument("--per-folder", type=int, default=25)
    parser.add_argument("--noise-kb", type=int, default=0)
    args = parser.parse_args()
    viewer = os.path.abspath(args.folder)
    kept = set()

    def keep(name):
        path = os.path.join(viewer, name.rstrip("/"))
        kept.add(path)
        return path

    with zipfile.ZipFile(args.standin) as standin:
        for info in standin.infolist():
            if info.filename == UNINSTALLER:
                continue
            path = keep(info.filename)
            if info.is_dir():
                os.makedirs(path, exist_ok=True)
            else:
                write_if_changed(path, standin.read(info))

    rng = random.Random("%s/%d" % (args.seed, args.plugins))
    for n in range(args.plugins):
        folder = "%s/Set%03d" % (PLUGIN_ROOT, n // args.per_folder)
        keep(PLUGIN_ROOT)
        keep(folder)
        path = keep("%s/Module%04d.dll" % (folder, n))
        if args.noise_kb:
            data = rng.randbytes(args.noise_kb * 1024)
        else:
            data = plugin_bytes(rng, rng.randint(MIN_BYTES, MAX_BYTES))
        write_if_changed(path, data)
    remove_others(viewer, kept)
    print(viewer)


if __name__ == "__main__":
    sys.exit(main())
