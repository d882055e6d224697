"""Writes the header that records the payload archive's size and CRC-32 in
the setup, outside the archive, so that the setup can tell a damaged or cut
copy of itself before it writes anything.

Usage: make_digest_header.py <archive> <header>
"""

import sys
import zlib

from make_zip import write_if_changed


def header(data):
    return "\n".join([
        "// Made by the build from the payload archive that the setup embeds.",
        "#pragma once",
        "",
        "#include <cstdint>",
        "",
        "namespace pixelmoor {",
        "",
        "inline constexpr std::uint64_t kEmbeddedPayloadBytes = %d;" % len(data),
        "inline constexpr std::uint32_t kEmbeddedPayloadCrc = 0x%08X;" % zlib.crc32(data),
        "",
        "}  // namespace pixelmoor",
        "",
    ])


def main():
    with open(sys.argv[1], "rb") as f:
        text = header(f.read())
    write_if_changed(sys.argv[2], text)


if __name__ == "__main__":
    main()
