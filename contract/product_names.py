"""The product's names, the setup's switches and its exit codes as the
programs know them, read from the contract's headers (contract/product.h,
setup_switches.h, exit_codes.h), so that the build's and the release's
scripts and the programs cannot disagree about them.

Usage as a program: product_names.py KEY prints one name (for shell scripts).
"""

import os
import re
import sys

SOURCE_ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
HEADER = os.path.join(SOURCE_ROOT, "contract", "product.h")
SWITCHES_HEADER = os.path.join(SOURCE_ROOT, "contract", "setup_switches.h")
EXIT_CODES_HEADER = os.path.join(SOURCE_ROOT, "contract", "exit_codes.h")
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


# The switches and exit codes that the release's manifests name.
SWITCH_CONSTANTS = {"silent": "kSilentSwitch", "folder": "kFolderSwitch", "log": "kLogSwitch"}
EXIT_CODE_CONSTANTS = {"failed": "kExitFailed", "already_running": "kExitAlreadyRunning"}


def _text(header):
    with open(header, encoding="utf-8") as f:
        return f.read()


def _read(header, text, constant, pattern=r'\[\]\s*=\s*L"([^"\\]*)"'):
    found = re.search(r"\b%s%s" % (constant, pattern), text)
    if not found:
        raise SystemExit("%s defines no %s" % (header, constant))
    return found.group(1)


NAMES = {key: _read(HEADER, _text(HEADER), constant) for key, constant in CONSTANTS.items()}
SWITCHES = {key: _read(SWITCHES_HEADER, _text(SWITCHES_HEADER), constant)
            for key, constant in SWITCH_CONSTANTS.items()}
EXIT_CODES = {key: int(_read(EXIT_CODES_HEADER, _text(EXIT_CODES_HEADER), constant, r"\s*=\s*(\d+);"))
              for key, constant in EXIT_CODE_CONSTANTS.items()}

if __name__ == "__main__":
    if len(sys.argv) != 2 or sys.argv[1] not in NAMES:
        sys.exit("usage: product_names.py {%s}" % ",".join(NAMES))
    print(NAMES[sys.argv[1]])
