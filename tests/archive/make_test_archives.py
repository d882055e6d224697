#!/usr/bin/env python3
"""Writes the ZIP archives of the archive reader tests into the given folder.

Every archive is built from fixed contents and a fixed date, then damaged
where a case needs it by patching its headers, so the same bytes come out
on every build. Usage: make_test_archives.py <output folder>
"""
import io
import struct
import sys
import zipfile
import zlib
from pathlib import Path

DATE = (2021, 6, 15, 13, 45, 58)  # local time of every entry
STORED, DEFLATED = zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED


def big_bytes():
    """100000 bytes, more than three transfer blocks: byte i is i*7 mod 251."""
    return bytes((i * 7) % 251 for i in range(100000))


def build(entries):
    """entries: (name, data or None for a folder entry, method)."""
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w") as archive:
        for name, data, method in entries:
            info = zipfile.ZipInfo(name, DATE)
            info.create_system = 0
            info.compress_type = method
            info.external_attr = 0x10 if data is None else 0x20
            archive.writestr(info, b"" if data is None else data)
    return bytearray(out.getvalue())


def patch(data, name, **fields):
    """Sets header fields of one entry in its local and its central header."""
    local = {"flag": 6, "method": 8, "crc": 14, "usize": 22}
    central = {"flag": 8, "method": 10, "crc": 16, "usize": 24}
    sizes = {"flag": "<H", "method": "<H", "crc": "<I", "usize": "<I"}
    with zipfile.ZipFile(io.BytesIO(bytes(data))) as archive:
        offset = archive.getinfo(name).header_offset
    pos = data.find(b"PK\x01\x02")
    while pos >= 0:
        nlen, xlen, clen = struct.unpack_from("<HHH", data, pos + 28)
        if data[pos + 46:pos + 46 + nlen] == name.encode():
            break
        pos = data.find(b"PK\x01\x02", pos + 46 + nlen + xlen + clen)
    assert pos >= 0, name
    for field, value in fields.items():
        struct.pack_into(sizes[field], data, offset + local[field], value)
        struct.pack_into(sizes[field], data, pos + central[field], value)
    return data


def midway_bytes(n):
    """100000 bytes of entry n of the midway archives, different in every entry."""
    return bytes((i * 7 + n * 13 + (i >> 9)) % 251 for i in range(100000))


def stored_blocks(data, size, broken):
    """A raw deflate stream of stored blocks of `size` bytes; the length check
    of block number `broken` (from 0) is wrong, so inflating fails there."""
    out = bytearray()
    blocks = [data[i:i + size] for i in range(0, len(data), size)]
    for k, block in enumerate(blocks):
        check = ~len(block) & 0xFFFF
        out += bytes([1 if k == len(blocks) - 1 else 0]) + struct.pack("<HH", len(block), check ^ (k == broken))
        out += block
    return bytes(out)


def midway(damaged):
    """24 entries of 100000 bytes, enough for the inflating thread to run
    well ahead of the writing loop; with `damaged`, entry 12 inflates its
    first 50000 bytes and then fails, in the second read of 32768 bytes."""
    entries = [("%02d.bin" % n, midway_bytes(n), DEFLATED) for n in range(24)]
    if not damaged:
        return build(entries)
    entries[12] = ("12.bin", stored_blocks(midway_bytes(12), 25000, 2), STORED)
    data = build(entries)
    return patch(data, "12.bin", method=8, crc=zlib.crc32(midway_bytes(12)), usize=100000)


def archives():
    text = b"alpha\n" * 10
    main = build([
        ("late/a.txt", text, DEFLATED),                 # file before its folder entry
        ("late/", None, STORED),
        ("deep/inner/", None, STORED),                  # parent missing: made by the next file
        ("deep/inner/b.bin", bytes(range(256)), STORED),
        ("lonely/child/", None, STORED),                # parent missing, no file below: never made
        ("PLUGINS/ICONS.DLL", b"payload icons\n", DEFLATED),
        ("x/myicons.dll", b"my icons\n", DEFLATED),
        ("empty.txt", b"", STORED),
        ("big.bin", big_bytes(), DEFLATED),
        ("Plugins/Plugins32/Effects.dll", b"effects\n", DEFLATED),
        ("Plugins/Plugins32/", None, STORED),
        ("tail.txt", b"tail\n", DEFLATED),
    ])
    crc = patch(build([
        ("first.txt", b"first\n", DEFLATED),
        ("bad.txt", b"bad crc\n", DEFLATED),
        ("after.txt", b"after\n", DEFLATED),
    ]), "bad.txt", crc=0x12345678)
    shortfall = patch(build([
        ("short.txt", b"short data\n", DEFLATED),
        ("after.txt", b"after\n", DEFLATED),
    ]), "short.txt", usize=4096)
    slip = build([
        ("../evil_parent.txt", b"evil\n", STORED),
        ("C:/evil_drive.txt", b"evil\n", STORED),
        ("/evil_root.txt", b"evil\n", STORED),
        ("\\evil_root2.txt", b"evil\n", STORED),
        ("a/../../evil_nested.txt", b"evil\n", STORED),
        ("..\\evil_back.txt", b"evil\n", STORED),
        ("../evil_dir/", None, STORED),
        ("inside.txt", b"inside\n", STORED),
    ])
    locked = build([
        ("one.txt", b"one\n", DEFLATED),
        ("held.txt", b"new\n", DEFLATED),
        ("three.txt", b"three\n", DEFLATED),
    ])
    names = build([
        ("n" * 516 + ".txt", b"too long narrow\n", STORED),                # 520 bytes
        ("d" * 200 + "/" + "m" * 119 + ".txt", b"too long wide\n", STORED),   # 324 characters
        ("d" * 200 + "/" + "k" * 118 + ".txt", b"longest\n", STORED),         # 323 characters
        ("after.txt", b"after\n", STORED),
    ])
    bzip2 = patch(build([
        ("first.txt", b"first\n", STORED),
        ("bz.bin", b"not bzip2 data\n", STORED),
        ("after.txt", b"after\n", STORED),
    ]), "bz.bin", method=12)
    encrypted = patch(build([
        ("first.txt", b"first\n", STORED),
        ("secret.txt", b"plain text\n", STORED),
        ("after.txt", b"after\n", STORED),
    ]), "secret.txt", flag=1)
    # a file in a folder that exists, folders that do not, then damage
    late_damage = patch(build([
        ("keep/a.txt", b"new a\n", DEFLATED),
        ("made/", None, STORED),
        ("made/deeper/b.txt", b"new b\n", DEFLATED),
        ("top.txt", b"new top\n", DEFLATED),
        ("zz_bad.txt", b"bad crc\n", DEFLATED),
    ]), "zz_bad.txt", crc=0x12345678)
    embedded = build([
        ("readme.txt", b"embedded readme\n", DEFLATED),
        ("Plugins/", None, STORED),
        ("Plugins/Icons.dll", b"payload icons\n", DEFLATED),
    ])
    return {
        "reader_main.zip": main,
        "reader_crc.zip": crc,
        "reader_shortfall.zip": shortfall,
        "reader_slip.zip": slip,
        "reader_locked.zip": locked,
        "reader_names.zip": names,
        "reader_bzip2.zip": bzip2,
        "reader_encrypted.zip": encrypted,
        "reader_truncated.zip": main[: len(main) // 2],
        "reader_notzip.zip": b"this is not a zip archive\n",
        "reader_midway.zip": midway(damaged=False),
        "reader_midway_damaged.zip": midway(damaged=True),
        "reader_late_damage.zip": late_damage,
        "embedded_good.zip": embedded,
        "embedded_empty.bin": b"",
    }


def main():
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in archives().items():
        path = folder / name
        if not path.exists() or path.read_bytes() != data:
            path.write_bytes(bytes(data))


if __name__ == "__main__":
    main()
