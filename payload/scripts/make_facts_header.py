"""Writes the header of what an installation records of its payload, read
from the packed payload archive.

Usage: make_facts_header.py [--installed-size-kb N] <list> <archive> <header>

The installation's size is the archive's unpacked bytes in kilobytes (of
1024 bytes), rounded up, unless --installed-size-kb states it: the stand-in
states the figure of the payload that it stands in for. The icon library's
version text is made from the version record of the archive's
Plugins/Icons.dll (in any capitals) as the setup's version probe makes one
from an installed library: the product version's first two numbers and the
file version's third, "%d.%d%d". A payload without an icon library gives an
empty text; one whose icon library has no version record stops the build
with a message that names its file (the list, which the archive was packed
from, says where it came from).
"""

import argparse
import struct
import sys
import zipfile

from make_zip import read_list, write_if_changed
from viewer_folder import ICON_LIBRARY, fixed_version

KILOBYTE = 1024
# The uninstall entry holds the size as a REG_DWORD.
LARGEST_SIZE_KB = 0xFFFFFFFF


def installed_size_kb(archive):
    unpacked = sum(info.file_size for info in archive.infolist())
    return unpacked, -(-unpacked // KILOBYTE)


def icon_library_version(archive, sources):
    """(version text, the record's numbers as "a.b.c.d"), or ("", None)."""
    for info in archive.infolist():
        if info.filename.lower() == ICON_LIBRARY.lower():
            try:
                file_ms, file_ls, product_ms, _ = fixed_version(archive.read(info))
            except (ValueError, struct.error) as e:
                sys.exit("viewer folder: %s: no version record could be read (%s); the setup decides by it "
                         "whether an installed %s is replaced" % (sources.get(info.filename, info.filename), e,
                                                                  ICON_LIBRARY))
            text = "%d.%d%d" % (product_ms >> 16, product_ms & 0xFFFF, file_ls >> 16)
            record = "%d.%d.%d.%d" % (file_ms >> 16, file_ms & 0xFFFF, file_ls >> 16, file_ls & 0xFFFF)
            return text, record
    return "", None


def header(unpacked, size_kb, stated, version, record):
    if stated:
        size_note = "stated for the stand-in; %d bytes unpacked" % unpacked
    else:
        size_note = "%d bytes unpacked, rounded up" % unpacked
    version_note = ("of %s, file version %s" % (ICON_LIBRARY, record)) if record else \
        "none: the payload carries no %s" % ICON_LIBRARY
    return "\n".join([
        "// Made by the payload's build from the packed payload: what an",
        "// installation records of it.",
        "#pragma once",
        "",
        "#include <cstdint>",
        "",
        "namespace pixelmoor {",
        "",
        "// The installation's size in kilobytes (%s)." % size_note,
        "inline constexpr std::uint32_t kPayloadInstalledSizeKb = %d;" % size_kb,
        "// The icon library's version text (%s)." % version_note,
        'inline constexpr wchar_t kPayloadIconLibraryVersion[] = L"%s";' % version,
        "",
        "}  // namespace pixelmoor",
        ""])


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--installed-size-kb", type=int)
    parser.add_argument("list")
    parser.add_argument("archive")
    parser.add_argument("header")
    args = parser.parse_args()
    sources = dict(read_list(args.list))
    with zipfile.ZipFile(args.archive) as archive:
        unpacked, size_kb = installed_size_kb(archive)
        version, record = icon_library_version(archive, sources)
    if args.installed_size_kb is not None:
        size_kb = args.installed_size_kb
    if size_kb > LARGEST_SIZE_KB:
        sys.exit("the payload's %d KB do not fit the uninstall entry's EstimatedSize" % size_kb)
    text = header(unpacked, size_kb, args.installed_size_kb is not None, version, record)
    write_if_changed(args.header, text)


if __name__ == "__main__":
    main()
