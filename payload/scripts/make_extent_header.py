"""Writes the header that tells the setup how far its payload reaches below
an install folder.

Usage: make_extent_header.py <list> <header>
The list is the one the archive is packed from (one entry a line: a name, and
for a file a tab and its source). The header gives the length of the longest
entry name, so that the setup can refuse an install folder below which the
deepest file would not fit a Windows path, and every folder that the payload
fills, outermost first and with backslashes, so that the setup can refuse to
write through a link put in the place of one of them; and every program that
it carries (a file ending in ".exe"), so that the setup can refuse to replace
the files of one that runs.
"""

import sys

from make_zip import write_if_changed


def read_names(path):
    with open(path, encoding="utf-8") as f:
        return [line.rstrip("\n").partition("\t")[0] for line in f if line.strip()]


def folders_of(names):
    folders = []
    for name in names:
        parts = name.rstrip("/").split("/")
        # A file's own name is no folder; a folder entry's last part is one.
        levels = len(parts) if name.endswith("/") else len(parts) - 1
        for depth in range(1, levels + 1):
            folder = "\\".join(parts[:depth])
            if folder not in folders:
                folders.append(folder)
    return folders


def programs_of(names):
    return [name.replace("/", "\\") for name in names if name.lower().endswith(".exe")]


def header(names):
    longest = max(names, key=len)
    lines = [
        "// Made by the payload's build from its entry list: how far the payload",
        "// reaches below an install folder.",
        "#pragma once",
        "",
        "#include <cstddef>",
        "#include <string_view>",
        "",
        "namespace pixelmoor {",
        "",
        "// Characters of the longest entry name (%s)." % longest,
        "inline constexpr std::size_t kLongestPayloadEntry = %d;" % len(longest),
        "",
        "// The folders that the payload fills, outermost first.",
        "inline constexpr std::wstring_view kPayloadFolders[] = {",
    ]
    lines += ['    L"%s",' % folder.replace("\\", "\\\\") for folder in folders_of(names)]
    lines += ["};", "", "// The programs that the payload carries, in its order.",
              "inline constexpr std::wstring_view kPayloadPrograms[] = {"]
    lines += ['    L"%s",' % program.replace("\\", "\\\\") for program in programs_of(names)]
    lines += ["};", "", "}  // namespace pixelmoor", ""]
    return "\n".join(lines)


def main():
    text = header(read_names(sys.argv[1]))
    write_if_changed(sys.argv[2], text)


if __name__ == "__main__":
    main()
