#!/usr/bin/env python3
"""Writes the Windows package manager's three manifests (manifest version
1.9.0) of a release: <publisher>.<product>.yaml, .installer.yaml and
.locale.de-DE.yaml (the names of contract/product.h).

Usage: winget_manifests.py --setup FILE --version X.YY --app-manifest FILE
                           --download-url URL --out DIR
       winget_manifests.py --check-url URL
       winget_manifests.py --identifier

The download address must be an absolute https:// address of printable
ASCII without blanks (characters beyond ASCII percent-encoded): the schema
takes only http(s) addresses, a control character makes YAML that does not
load, and a line break would be folded into a blank. --check-url only checks
one, so that a release can refuse it before it builds anything.
--identifier prints the package identifier that starts the manifests' names.

What the setup is, does and leaves is taken from the build: the version, the
installer's file name and SHA-256, and the lowest Windows that the setup's
application manifest declares support for. The switches, exit codes and
uninstall entry are those that the setup implements, read from the
contract's headers (contract/product_names.py; README "Deployment").
"""

import argparse
import hashlib
import os
import re
import sys
import urllib.parse

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "contract"))
from product_names import EXIT_CODES, NAMES, SWITCHES  # noqa: E402

PUBLISHER = NAMES["publisher"]
IDENTIFIER = PUBLISHER + "." + NAMES["product"]
PRODUCT_CODE = NAMES["uninstall_entry"]  # the uninstall entry's key name
INSTALL_LOG = NAMES["install_log"]
# The switches that the package manager hands the setup (with its own
# placeholders as values), each with a comment or None.
INSTALLER_SWITCHES = (
    ("Silent", SWITCHES["silent"], None),
    ("SilentWithProgress", SWITCHES["silent"], None),
    ("InstallLocation", '"%s<INSTALLPATH>"' % SWITCHES["folder"], None),
    ("Log", '"\\"%s<LOGPATH>\\""' % SWITCHES["log"], "A full log of the run, appended to."),
)
# The exit codes other than success that the package manager is told of,
# each with the response it maps to and a comment.
RETURN_CODES = (
    (EXIT_CODES["already_running"], "packageInUse",
     "The viewer, another setup or the uninstaller is running; nothing was changed."),
    (EXIT_CODES["failed"], "custom",
     "The installation stopped at a failure (target folder, a full drive, a file\n"
     "in use); %s in the working directory says why." % INSTALL_LOG),
)
MANIFEST_VERSION = "1.9.0"
LOCALE = "de-DE"
# The longest address that the schema takes.
URL_LIMIT = 2048

# The Windows versions that an application manifest names by their
# compatibility identifiers, with the first build of each.
SUPPORTED_OS = {
    "e2011457-1546-43c5-a5fe-008deee3d3f0": (6, 0, 6000),   # Windows Vista
    "35138b9a-5d96-4fbd-8e2d-a2440225f93a": (6, 1, 7600),   # Windows 7
    "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38": (6, 2, 9200),   # Windows 8
    "1f676c76-80e1-4239-95bb-83d0f6d0da78": (6, 3, 9600),   # Windows 8.1
    "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a": (10, 0, 10240),  # Windows 10 and 11
}


def minimum_windows(app_manifest):
    with open(app_manifest, encoding="utf-8") as f:
        ids = re.findall(r'<supportedOS\s+Id="\{([0-9a-fA-F-]+)\}"', f.read())
    versions = [SUPPORTED_OS[i.lower()] for i in ids if i.lower() in SUPPORTED_OS]
    if not versions:
        raise SystemExit("%s declares no Windows version that is known here" % app_manifest)
    return "%d.%d.%d.0" % min(versions)


def download_url_problem(url):
    """Why the address cannot be the manifests' download address; None when it can."""
    if any(not "!" <= c <= "~" for c in url):
        return "it holds a blank, a control character or a character beyond ASCII (write those percent-encoded)"
    if not url.lower().startswith("https://") or not urllib.parse.urlsplit(url).hostname:
        return "it is no absolute https:// address"
    if len(url) > URL_LIMIT:
        return "it is longer than the %d characters that the manifests hold" % URL_LIMIT
    return None


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest().upper()


def quoted(text):
    """A YAML double-quoted scalar."""
    return '"%s"' % text.replace("\\", "\\\\").replace('"', '\\"')


def header(kind, version):
    return ("# Made by tools/release.sh for the %s of Pixelmoor %s.\n"
            "PackageIdentifier: %s\nPackageVersion: %s\n") % (kind, version, IDENTIFIER, quoted(version))


def version_manifest(version):
    return header("version", version) + (
        "DefaultLocale: %s\n"
        "ManifestType: version\n"
        "ManifestVersion: %s\n") % (LOCALE, MANIFEST_VERSION)


def comment(text, indent):
    return "".join("%s# %s\n" % (indent, line) for line in text.split("\n"))


def installer_switches():
    return "".join((comment(note, "  ") if note else "") + "  %s: %s\n" % (key, value)
                   for key, value, note in INSTALLER_SWITCHES)


def return_codes():
    return "".join(comment(note, "  ") + "  - InstallerReturnCode: %d\n    ReturnResponse: %s\n" % (code, response)
                   for code, response, note in RETURN_CODES)


def installer_manifest(version, setup, download_url, minimum):
    display_name = "Pixelmoor %s (64-bit)" % version
    return header("installer", version) + (
        "MinimumOSVersion: {minimum}\n"
        "InstallerType: exe\n"
        "Scope: machine\n"
        "# The setup asks for the highest rights that the user has.\n"
        "ElevationRequirement: elevatesSelf\n"
        "InstallModes:\n"
        "  - interactive\n"
        "  - silent\n"
        "  - silentWithProgress\n"
        "InstallerSwitches:\n"
        "{switches}"
        "ExpectedReturnCodes:\n"
        "{codes}"
        "UpgradeBehavior: install\n"
        "ProductCode: {code}\n"
        "AppsAndFeaturesEntries:\n"
        "  - DisplayName: {display}\n"
        "    Publisher: {publisher}\n"
        "    DisplayVersion: {version}\n"
        "    ProductCode: {code}\n"
        "Installers:\n"
        "  - Architecture: x64\n"
        "    InstallerUrl: {url}\n"
        "    InstallerSha256: {sha}\n"
        "ManifestType: installer\n"
        "ManifestVersion: {manifest}\n").format(
            minimum=minimum, switches=installer_switches(), codes=return_codes(), code=PRODUCT_CODE,
            display=quoted(display_name), publisher=PUBLISHER, version=quoted(version), url=quoted(download_url),
            sha=sha256(setup), manifest=MANIFEST_VERSION)


def locale_manifest(version):
    return header("default locale", version) + (
        "PackageLocale: {locale}\n"
        "Publisher: {publisher}\n"
        "PackageName: Pixelmoor\n"
        "PackageUrl: https://www.pixelmoor.org/\n"
        "License: Proprietär\n"
        "LicenseUrl: https://www.pixelmoor.org/eula.html\n"
        "ShortDescription: Bildbetrachter, -bearbeiter und -konverter (64 Bit)\n"
        "Moniker: pixelmoor\n"
        "InstallationNotes: {notes}\n"
        "ManifestType: defaultLocale\n"
        "ManifestVersion: {manifest}\n").format(
            locale=LOCALE, publisher=PUBLISHER, manifest=MANIFEST_VERSION,
            notes=quoted("Schlägt die Installation fehl (Rückgabewert 1603), nennt %s im "
                         "Arbeitsverzeichnis den Grund." % INSTALL_LOG))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--check-url")
    parser.add_argument("--identifier", action="store_true")
    for option in ("--setup", "--version", "--app-manifest", "--download-url", "--out"):
        parser.add_argument(option)
    args = parser.parse_args()
    if args.identifier:
        print(IDENTIFIER)
        return
    url = args.check_url if args.check_url is not None else args.download_url
    problem = download_url_problem(url or "")
    if problem:
        sys.exit("release: the download address %r cannot be named in the manifests: %s" % (url, problem))
    if args.check_url is not None:
        return
    if not all((args.setup, args.version, args.app_manifest, args.out)):
        parser.error("--setup, --version, --app-manifest, --download-url and --out are needed")
    minimum = minimum_windows(args.app_manifest)
    files = {
        IDENTIFIER + ".yaml": version_manifest(args.version),
        IDENTIFIER + ".installer.yaml": installer_manifest(args.version, args.setup, args.download_url, minimum),
        "%s.locale.%s.yaml" % (IDENTIFIER, LOCALE): locale_manifest(args.version),
    }
    for name, text in files.items():
        with open(os.path.join(args.out, name), "w", encoding="utf-8", newline="\n") as f:
            f.write(text)


if __name__ == "__main__":
    main()
