"""Reads a viewer folder, laid out as an installation is (p_moor64.exe,
Plugins/..., Languages/...), for the payload's build.

Usage:
  viewer_folder.py version <program>
      prints the version of a Windows program's version record (its product
      version's first two numbers, as "4.75"); fails when it has none.
  viewer_folder.py list <folder> <uninstaller> <list> <depfile> <left-out list>
      writes the payload's entry list (the form make_zip.py packs) of the
      folder and the uninstaller, a depfile naming every folder and file
      that was read, so that the build packs again when any of them changes,
      and the list of the files that were left out (one a line, also
      printed).

The list's order is fixed: p_moor64.exe, then the uninstaller, then the
folder's other files, then each subfolder as its folder entry followed by its
own contents, every level sorted by name. A folder without p_moor64.exe, or
with a name that the setup could not unpack into the same place on every
Windows or that would take the place of the setup's own, stops the build
with a message that names the file. Files that tools leave behind (a
version control's store, file managers' caches) are left out.
"""

import os
import re
import stat
import struct
import sys

from make_zip import depfile_path, write_if_changed

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "contract"))
from product_names import HEADERS, NAMES  # noqa: E402

VIEWER = NAMES["viewer"]
UNINSTALLER = NAMES["uninstaller"]
# The icon library that the setup's version rule looks at in an install folder.
ICON_LIBRARY = NAMES["icon_library_folder"] + "/" + NAMES["icon_library_file"]

# The setup turns each entry name into a path with the system's ANSI code
# page, so only ASCII names arrive unchanged everywhere. Its buffers hold a
# stored name of up to 519 bytes and a converted one of up to 323 characters;
# the whole path of a file must fit 259 characters, and the default install
# folder takes 27 of them.
DEFAULT_INSTALL_FOLDER = "C:\\Program Files\\Pixelmoor\\"
SYSTEM_PATH_LIMIT = 259
LONGEST_NAME = SYSTEM_PATH_LIMIT - len(DEFAULT_INSTALL_FOLDER)
# The names that the setup itself uses in the install folder while it
# unpacks (its journal, its folder of replaced files, and in each folder the
# name under which a file is written until it is whole): no entry may have
# them, and every folder must still take the last one within the limit.
UNPACKING_NAMES = {"~pm_unpack.journal", "~pm_unpack.kept", "~pm_unpack.new"}
NEW_FILE_NAME = "~pm_unpack.new"
LONGEST_FOLDER = LONGEST_NAME - 1 - len(NEW_FILE_NAME)
# What Windows cannot hold in a file name, and the device names that it
# takes for devices whatever their extension (COM0 and LPT0 as newer Windows
# does; the consoles CONIN$ and CONOUT$ too, which fail every installation).
FORBIDDEN_CHARACTERS = set('<>:"\\|?*')
DEVICE_NAMES = ({"con", "prn", "aux", "nul", "conin$", "conout$"}
                | {"%s%d" % (d, n) for d in ("com", "lpt") for n in range(0, 10)})
# What the setup writes into the install folder itself, beside the payload:
# its uninstaller; the settings file that records the settings folder, with
# the temporary copy that its conversion makes (the settings may live in the
# install folder); and the setup's and the uninstaller's logs, which go to
# the current directory: the install folder once the setup has unpacked, and
# an earlier installation's folder for its uninstaller after a move. A file
# or folder of the viewer's of such a name, in any capitals, would replace the
# setup's or keep it from writing its own. Below the top the setup writes
# none of them, so there such names are the viewer's own.
SETUP_NAMES = {NAMES[key].lower(): NAMES[key]
               for key in ("uninstaller", "settings", "settings_temp", "install_log", "uninstall_log")}
# When the setup keeps an installed icon library that is newer than the
# payload's, it passes over every entry whose name holds this, in any capitals.
KEPT_ENTRY_MARK = NAMES["icon_library_file"].lower()
# Files that tools leave in folders and a maker never means to ship: a
# version control's store (a folder, or a file in a work tree), the file
# managers' thumbnail caches and folder settings. Left out at any depth, in
# any capitals, and named in the build's output.
LEFT_OUT = {".git", ".ds_store", "thumbs.db", "desktop.ini"}
# Where Windows makes short names, it gives a long name the first free one of
# the form "PM_UNI~1.EXE"; a file of the viewer's of that form can turn out
# to be the same file as another one of its folder, or as the setup's own.
SHORT_NAME_BASE = re.compile(r"^[^~]+~[0-9]+$")
SHORT_NAME_BASE_LIMIT = 8
SHORT_NAME_EXTENSION_LIMIT = 3


def refuse(path, why):
    sys.exit("viewer folder: %s: %s" % (path, why))


# ---- The version record of a Windows program. ----

def _section_offset(sections, rva):
    for virtual_size, virtual_address, raw_size, raw_offset in sections:
        if virtual_address <= rva < virtual_address + max(virtual_size, raw_size):
            return raw_offset + rva - virtual_address
    raise ValueError("address %#x lies in no section" % rva)


def _first_entry(data, directory, wanted_id=None):
    named, ids = struct.unpack_from("<HH", data, directory + 12)
    for i in range(named + ids):
        name, target = struct.unpack_from("<II", data, directory + 16 + 8 * i)
        if wanted_id is None or (not name & 0x80000000 and name == wanted_id):
            return target
    return None


def fixed_version(data):
    """(file MS, file LS, product MS, product LS) of a Windows program's or
    library's fixed version information, from the bytes of its file."""
    if data[:2] != b"MZ":
        raise ValueError("not a Windows program")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a Windows program")
    section_count, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    resource_rva = struct.unpack_from("<I", data, directories + 8 * 2)[0]
    sections = [struct.unpack_from("<8xIIII", data, optional + optional_size + 40 * i)
                for i in range(section_count)]
    if resource_rva == 0:
        raise ValueError("no resources")
    root = _section_offset(sections, resource_rva)
    level = _first_entry(data, root, 16)  # RT_VERSION
    for _ in range(2):  # its name, then its language
        if level is None or not level & 0x80000000:
            raise ValueError("no version record")
        level = _first_entry(data, root + (level & 0x7FFFFFFF))
    if level is None or level & 0x80000000:
        raise ValueError("no version record")
    data_rva, size = struct.unpack_from("<II", data, root + level)
    record = data[_section_offset(sections, data_rva):][:size]
    fixed = record.find(struct.pack("<I", 0xFEEF04BD))
    if fixed < 0:
        raise ValueError("no fixed version information")
    return struct.unpack_from("<IIII", record, fixed + 8)


def product_version(path):
    """(major, minor) of the program's fixed version information."""
    with open(path, "rb") as f:
        product_ms = fixed_version(f.read())[2]
    return product_ms >> 16, product_ms & 0xFFFF


# ---- The entry list of a viewer folder. ----

def check_name(folder, name):
    path = os.path.join(folder, name)
    if not name.isascii() or any(ord(c) < 32 or c in FORBIDDEN_CHARACTERS for c in name.replace("/", "")):
        refuse(path, "the name must be ASCII without control characters and without < > : \" \\ | ? *")
    parts = name.rstrip("/").split("/")
    for part in parts:
        if part.endswith((".", " ")) or part.strip(". ") == "":
            refuse(path, "a name part that ends in a dot or a blank, or is only dots and blanks, "
                         "does not name the same file on Windows")
        if part.split(".")[0].rstrip(" ").lower() in DEVICE_NAMES:
            refuse(path, "Windows takes this name for a device")
        if part.lower() in UNPACKING_NAMES:
            refuse(path, "the setup uses this name while it unpacks")
        base, _, extension = part.partition(".")
        if (SHORT_NAME_BASE.match(base) and len(base) <= SHORT_NAME_BASE_LIMIT
                and len(extension) <= SHORT_NAME_EXTENSION_LIMIT and "." not in extension):
            refuse(path, "a name of the form of a short name that Windows makes up for a long one, which "
                         "can be another file of the folder or the setup's own")
    if len(parts) == 1 and parts[0].lower() in SETUP_NAMES:
        refuse(path, "the setup writes its own %s there; a file or folder of this name, in any capitals, "
                     "would take its place or keep it from being written" % SETUP_NAMES[parts[0].lower()])
    if KEPT_ENTRY_MARK in name.lower() and name.lower() != ICON_LIBRARY.lower():
        refuse(path, "where an installed %s is newer, the setup passes over every entry whose name holds "
                     "\"%s\"; only %s itself may be so named" % (ICON_LIBRARY, KEPT_ENTRY_MARK, ICON_LIBRARY))
    if len(name.rstrip("/")) > LONGEST_NAME:
        refuse(path, "the name is %d characters long; below %s it would not fit a Windows path "
                     "(at most %d characters)" % (len(name.rstrip("/")), DEFAULT_INSTALL_FOLDER, LONGEST_NAME))
    if name.endswith("/") and len(name) - 1 > LONGEST_FOLDER:
        refuse(path, "the folder is %d characters long; below %s the name %s that the setup writes in it would "
                     "not fit a Windows path (at most %d characters)"
               % (len(name) - 1, DEFAULT_INSTALL_FOLDER, NEW_FILE_NAME, LONGEST_FOLDER))


def walk(folder, prefix, entries, read, left_out):
    here = os.path.join(folder, prefix)
    read.append(here)
    names = []
    for name in sorted(os.listdir(here)):
        if name.lower() in LEFT_OUT:
            left_out.append(prefix + name)
        else:
            names.append(name)
    seen = {}
    for name in names:
        other = seen.setdefault(name.lower(), name)
        if other != name:
            refuse(os.path.join(here, name), "Windows does not tell it from %s" % other)
    files, folders = [], []
    for name in names:
        path = os.path.join(here, name)
        mode = os.lstat(path).st_mode
        if stat.S_ISLNK(mode):
            refuse(path, "a link; the payload holds files and folders only")
        if stat.S_ISDIR(mode):
            folders.append(name)
        elif stat.S_ISREG(mode):
            files.append(name)
        else:
            refuse(path, "neither a file nor a folder")
    for name in files:
        entry = prefix + name
        check_name(folder, entry)
        if entry == VIEWER:
            continue  # placed first by the caller
        entries.append((entry, os.path.join(here, name)))
        read.append(os.path.join(here, name))
    for name in folders:
        check_name(folder, prefix + name + "/")
        entries.append((prefix + name + "/", ""))
        walk(folder, prefix + name + "/", entries, read, left_out)


def list_folder(folder, uninstaller, list_path, depfile, left_out_path):
    folder = os.path.abspath(folder)
    if not os.path.isdir(folder):
        refuse(folder, "not a folder")
    viewer = os.path.join(folder, VIEWER)
    if not os.path.isfile(viewer) or os.path.islink(viewer):
        refuse(viewer, "missing; a viewer folder holds the viewer program at its top")
    entries, read, left_out = [], [viewer], []
    walk(folder, "", entries, read, left_out)
    entries[0:0] = [(VIEWER, viewer), (UNINSTALLER, uninstaller)]
    write_if_changed(list_path, "".join("%s\t%s\n" % entry for entry in entries))
    write_if_changed(left_out_path, "".join("%s\n" % name for name in left_out))
    for name in left_out:
        print("viewer folder: %s: left out, never shipped" % os.path.join(folder, name))
    # The product's headers name the setup's own files that the check refuses.
    read += HEADERS
    with open(depfile, "w", encoding="utf-8") as f:
        f.write("%s: %s\n" % (depfile_path(list_path), " \\\n  ".join(depfile_path(p) for p in read)))


def main(argv):
    if len(argv) == 3 and argv[1] == "version":
        try:
            print("%d.%d" % product_version(argv[2]))
        except (OSError, ValueError, struct.error) as e:
            refuse(argv[2], "no version record could be read (%s)" % e)
    elif len(argv) == 7 and argv[1] == "list":
        list_folder(*argv[2:])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
