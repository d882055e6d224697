"""Moves a linked program's resource section to a file offset on a whole
page, so that Wine maps the embedded payload from the file as it is read
instead of reading all of it into memory when the program starts (Wine maps
a section only when its file offset is a multiple of the page size).

Only the resource section and the sections after it move; the gap before
it is zeros. File offsets stay multiples of the file alignment, so the
program is as valid for Windows as before. The header's checksum is
computed anew. Run after the link and before signing.

Usage: page_align_resources.py PROGRAM
"""

import array
import struct
import sys

PAGE = 0x1000


def pe_checksum(data):
    """The checksum of the optional header: the file's 16-bit words summed
    with their carries folded back, the checksum field counted as zero, plus
    the file's length."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    words = bytearray(data)
    struct.pack_into("<I", words, pe + 24 + 64, 0)
    if len(words) % 2:
        words += b"\0"
    halves = array.array("H", bytes(words))
    if sys.byteorder != "little":
        halves.byteswap()
    # Folding the carries once at the end gives the same sum as folding
    # after every word.
    total = sum(halves)
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def align(path):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        sys.exit("%s: no PE file" % path)
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional = pe + 24
    table = optional + struct.unpack_from("<H", data, pe + 20)[0]
    if struct.unpack_from("<H", data, optional)[0] != 0x20B:
        sys.exit("%s: not a 64-bit program" % path)
    file_alignment = struct.unpack_from("<I", data, optional + 36)[0]
    certificates = optional + 112 + 4 * 8  # the security directory (entry 4)
    if struct.unpack_from("<I", data, certificates)[0]:
        sys.exit("%s: already signed; align before signing" % path)

    headers = [table + 40 * i for i in range(sections)]
    names = [bytes(data[h:h + 8]).rstrip(b"\0") for h in headers]
    if b".rsrc" not in names:
        return
    rsrc = headers[names.index(b".rsrc")]
    start = struct.unpack_from("<I", data, rsrc + 20)[0]
    moved = (start + PAGE - 1) // PAGE * PAGE - start
    if moved == 0:
        return
    if moved % file_alignment:
        sys.exit("%s: a page is no multiple of the file alignment" % path)
    if struct.unpack_from("<I", data, pe + 12)[0]:
        sys.exit("%s: a symbol table would move; link stripped" % path)
    for header in headers:
        raw = struct.unpack_from("<I", data, header + 20)[0]
        if raw >= start:
            struct.pack_into("<I", data, header + 20, raw + moved)
    data[start:start] = bytes(moved)
    struct.pack_into("<I", data, optional + 64, pe_checksum(bytes(data)))
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    align(sys.argv[1])
