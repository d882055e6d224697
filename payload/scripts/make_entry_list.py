"""Writes the uninstaller's list of the payload's entries: each name with the
CRC-32 of the bytes that the archive stores under it, so that the uninstaller
removes a file only while it still holds what the setup wrote.

Usage: make_entry_list.py <list> <header> <unchecked name>...
The list is the one that make_zip.py packs. The files named after the header
get no checksum: the uninstaller's own file cannot carry the checksum of
itself, and it is built from this header.
"""

import os
import sys
import zlib

from make_zip import content, read_list


def checksum(name, source, unchecked):
    if not source or name in unchecked:
        return "std::nullopt"
    return "0x%08Xu" % zlib.crc32(content(source))


def header(entries, unchecked):
    rows = "".join('    {L"%s", %s},\n' % (name, checksum(name, source, unchecked)) for name, source in entries)
    return (
        "// Made by the payload's build from its entry list: the names in the payload\n"
        "// archive, in archive order (folders end in \"/\"), with the CRC-32 of each\n"
        "// file as the archive stores it.\n"
        "#pragma once\n\n"
        "#include <optional>\n\n"
        '#include "uninstaller/uninstall_rules.h"\n\n'
        "namespace pixelmoor {\n\n"
        "inline constexpr PayloadEntry kPayloadEntries[] = {\n" + rows + "};\n\n"
        "}  // namespace pixelmoor\n")


def main():
    text = header(read_list(sys.argv[1]), set(sys.argv[3:]))
    os.makedirs(os.path.dirname(sys.argv[2]), exist_ok=True)
    # Rewritten only when it changes, so that the uninstaller is not rebuilt needlessly.
    if os.path.exists(sys.argv[2]):
        with open(sys.argv[2], encoding="utf-8") as f:
            if f.read() == text:
                return
    with open(sys.argv[2], "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


if __name__ == "__main__":
    main()
