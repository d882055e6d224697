"""The names of the files that the setup itself makes or reads in an install
folder, read from the product's own headers, so that the build's scripts and
the programs cannot disagree about them.
"""

import os
import re

SOURCE_ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))

# Each name: the header that defines it and the constant there.
DEFINITIONS = {
    "viewer": ("framework/product.h", "kViewerExe"),
    "uninstaller": ("framework/product.h", "kUninstallerExe"),
    "settings": ("install/settings_rules.h", "kSettingsFileName"),
    "settings_temp": ("install/settings_rules.h", "kSettingsTempFileName"),
    "install_log": ("install/install_log_text.h", "kInstallLogName"),
    "uninstall_log": ("install/install_log_text.h", "kUninstallLogName"),
    "icon_library_folder": ("install/version_probe_rules.h", "kIconLibraryFolder"),
    "icon_library_file": ("install/version_probe_rules.h", "kIconLibraryFile"),
}

HEADERS = sorted({os.path.join(SOURCE_ROOT, header) for header, _ in DEFINITIONS.values()})


def _read(header, constant):
    with open(os.path.join(SOURCE_ROOT, header), encoding="utf-8") as f:
        found = re.search(r'\b%s\[\]\s*=\s*L"([^"\\]*)"' % constant, f.read())
    if not found:
        raise SystemExit("%s defines no %s" % (header, constant))
    return found.group(1)


NAMES = {key: _read(*definition) for key, definition in DEFINITIONS.items()}
