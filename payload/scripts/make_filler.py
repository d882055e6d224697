"""Makes the resource data that gives a stand-in module the size and the
compressibility of the real one.

Usage:
  make_filler.py --size N --seed TEXT --share P OUT
  make_filler.py --fit PROBE --probe-size N --target-size T --seed TEXT --share P OUT

The data is a sequence of 256-byte blocks: a share P of them is noise, the rest
are table rows that compress well. Everything comes from SHA-256 in counter
mode over the seed, so the same arguments always give the same bytes.

With --fit, PROBE is the module linked with N bytes of this data; the output is
sized so that the same module linked with it instead is exactly T bytes long.
This works because the linker lays the resource section out in whole units of
the file alignment and nothing but that section grows with the data.
"""

import argparse
import hashlib
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "contract"))
from product_names import NAMES  # noqa: E402

BLOCK = 256


def digest(seed, *numbers):
    return hashlib.sha256(seed + b"".join(struct.pack("<Q", n) for n in numbers)).digest()


def filler(size, seed, share):
    seed = seed.encode("ascii")
    threshold = round(share * 256)
    out = bytearray()
    i = 0
    while len(out) < size:
        h = digest(seed, i)
        if h[0] < threshold:
            block = b"".join(digest(seed, i, j) for j in range(BLOCK // 32))
        else:
            row = "%06X;%03d;%03d;%03d;%s\r\n" % (i, h[1], h[2], h[3], NAMES["product"] if h[4] & 1 else NAMES["publisher"])
            block = (row * (BLOCK // len(row) + 1)).encode("ascii")[:BLOCK]
        out += block
        i += 1
    return bytes(out[:size])


def resource_section(pe):
    """(file size, file alignment, virtual size of .rsrc, raw size of .rsrc) of a PE image."""
    (pe_offset,) = struct.unpack_from("<I", pe, 0x3C)
    if pe[pe_offset:pe_offset + 4] != b"PE\0\0":
        sys.exit("not a PE image")
    sections, = struct.unpack_from("<H", pe, pe_offset + 6)
    optional_size, = struct.unpack_from("<H", pe, pe_offset + 20)
    optional = pe_offset + 24
    file_alignment, = struct.unpack_from("<I", pe, optional + 36)
    end_of_sections = 0
    rsrc = None
    for k in range(sections):
        entry = optional + optional_size + 40 * k
        name = pe[entry:entry + 8].rstrip(b"\0")
        virtual_size, _, raw_size, raw_offset = struct.unpack_from("<IIII", pe, entry + 8)
        end_of_sections = max(end_of_sections, raw_offset + raw_size)
        if name == b".rsrc":
            rsrc = (virtual_size, raw_size)
    if rsrc is None:
        sys.exit("the image has no resource section")
    if end_of_sections != len(pe):
        sys.exit("the image carries data after its sections (symbols?); link it stripped")
    return len(pe), file_alignment, rsrc[0], rsrc[1]


def fitted_size(probe_path, probe_size, target_size):
    with open(probe_path, "rb") as f:
        file_size, alignment, virtual_size, raw_size = resource_section(f.read())
    wanted_raw = target_size - (file_size - raw_size)
    if wanted_raw % alignment:
        sys.exit("the target size %d cannot be reached in units of %d bytes" % (target_size, alignment))
    # Aim at the middle of the last unit, so small differences in padding do not matter.
    size = (wanted_raw - alignment // 2 - (virtual_size - probe_size)) // 8 * 8
    if size <= 0:
        sys.exit("the module is already larger than %d bytes" % target_size)
    return size


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--size", type=int)
    parser.add_argument("--fit")
    parser.add_argument("--probe-size", type=int)
    parser.add_argument("--target-size", type=int)
    parser.add_argument("--seed", required=True)
    parser.add_argument("--share", type=float, required=True)
    parser.add_argument("out")
    args = parser.parse_args()
    size = fitted_size(args.fit, args.probe_size, args.target_size) if args.fit else args.size
    with open(args.out, "wb") as f:
        f.write(filler(size, args.seed, args.share))


if __name__ == "__main__":
    main()
