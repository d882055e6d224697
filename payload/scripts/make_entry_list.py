"""Writes the uninstaller's list of the payload's entries: each name with the
CRC-32 of the bytes that the archive stores under it, so that the uninstaller
removes a file only while it still holds what the setup wrote.

Usage: make_entry_list.py [--keep-line-ends] [--depfile <file>] <list> <header> <unchecked name>...
The list is the one that make_zip.py packs, with the same options. The files
named after the header get no checksum: the uninstaller's own file cannot
carry the checksum of itself, and it is built from this header.
"""

import os
import zlib

from make_zip import arguments, content, read_list, write_depfile, write_if_changed


def checksum(name, source, unchecked, keep_line_ends):
    if not source or name in unchecked:
        return "std::nullopt"
    return "0x%08Xu" % zlib.crc32(content(source, keep_line_ends))


def header(entries, unchecked, keep_line_ends):
    rows = "".join('    {L"%s", %s},\n' % (name, checksum(name, source, unchecked, keep_line_ends))
                   for name, source in entries)
    return (
        "// Made by the payload's build from its entry list: the names in the payload\n"
        "// archive, in archive order (folders end in \"/\"), with the CRC-32 of each\n"
        "// file as the archive stores it.\n"
        "#pragma once\n\n"
        "#include <optional>\n\n"
        '#include "uninstaller/uninstall_rules.h"\n\n'
        "namespace pixelmoor {\n\n"
        "constexpr PayloadEntry kPayloadEntries[] = {\n" + rows + "};\n\n"
        "}  // namespace pixelmoor\n")


def main():
    args = arguments(__doc__, ("list", None), ("header", None), ("unchecked", "*"))
    entries = read_list(args.list)
    unchecked = set(args.unchecked)
    text = header(entries, unchecked, args.keep_line_ends)
    os.makedirs(os.path.dirname(args.header), exist_ok=True)
    if args.depfile:
        write_depfile(args.depfile, args.header, [(n, s) for n, s in entries if n not in unchecked])
    write_if_changed(args.header, text)


if __name__ == "__main__":
    main()
