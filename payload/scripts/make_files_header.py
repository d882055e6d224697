"""Writes the header that tells the setup which files its payload installs,
and the SHA-256 of the uninstaller among them as the archive stores it.

Usage: make_files_header.py [--keep-line-ends] [--depfile <file>] <list> <header> <uninstaller name>
The list is the one that make_zip.py packs, with the same options. The setup
refuses a full log that would be one of these files of its target folder, and
records the uninstaller's digest in its registration, so that a later setup
starts that file only while it still holds these bytes.
"""

import hashlib
import os
import sys

from make_zip import arguments, content, read_list, write_depfile, write_if_changed


def header(entries, uninstaller, keep_line_ends):
    files = [(name, source) for name, source in entries if source]
    sources = dict(files)
    if uninstaller not in sources:
        sys.exit("the list has no entry %s" % uninstaller)
    digest = hashlib.sha256(content(sources[uninstaller], keep_line_ends)).hexdigest()
    rows = "".join('    L"%s",\n' % name.replace("/", "\\\\") for name, _ in files)
    return (
        "// Made by the payload's build from its entry list: the files that the\n"
        "// payload installs, with backslashes, in archive order, and the SHA-256 of\n"
        "// the uninstaller as the archive stores it.\n"
        "#pragma once\n\n"
        "#include <string_view>\n\n"
        "namespace pixelmoor {\n\n"
        "inline constexpr std::wstring_view kPayloadFiles[] = {\n" + rows + "};\n\n"
        'inline constexpr wchar_t kPayloadUninstallerSha256[] = L"%s";\n\n' % digest +
        "}  // namespace pixelmoor\n")


def main():
    args = arguments(__doc__, ("list", None), ("header", None), ("uninstaller", None))
    entries = read_list(args.list)
    text = header(entries, args.uninstaller, args.keep_line_ends)
    os.makedirs(os.path.dirname(args.header), exist_ok=True)
    if args.depfile:
        write_depfile(args.depfile, args.header, [(n, s) for n, s in entries if n == args.uninstaller])
    write_if_changed(args.header, text)


if __name__ == "__main__":
    main()
