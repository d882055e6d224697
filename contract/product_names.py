"""The product's names as the programs know them, read from the contract's
header (contract/product.h), so that the build's and the release's scripts
and the programs cannot disagree about them.

Usage as a program: product_names.py KEY prints one name (for shell scripts).
"""

import os
import re
import sys

SOURCE_ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
HEADER = os.path.join(SOURCE_ROOT, "contract", "product.h")
HEADERS = [HEADER]

# Each name: the constant in the header that defines it.
CONSTANTS = {
    "product": "kProductName",
    "publisher": "kPublisher",
    "viewer": "kViewerExe",
    "uninstaller": "kUninstallerExe",
    "uninstall_entry": "kUninstallEntryName",
    "settings": "kSettingsFileName",
    "settings_temp": "kSettingsTempFileName",
    "install_log": "kInstallLogName",
    "uninstall_log": "kUninstallLogName",
    "icon_library_folder": "kIconLibraryFolder",
    "icon_library_file": "kIconLibraryFile",
}


def _read(text, constant):
    found = re.search(r'\b%s\[\]\s*=\s*L"([^"\\]*)"' % constant, text)
    if not found:
        raise SystemExit("%s defines no %s" % (HEADER, constant))
    return found.group(1)


with open(HEADER, encoding="utf-8") as _header:
    _text = _header.read()
NAMES = {key: _read(_text, constant) for key, constant in CONSTANTS.items()}

if __name__ == "__main__":
    if len(sys.argv) != 2 or sys.argv[1] not in NAMES:
        sys.exit("usage: product_names.py {%s}" % ",".join(NAMES))
    print(NAMES[sys.argv[1]])
