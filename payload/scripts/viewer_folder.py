"""Reads a viewer folder, laid out as an installation is (p_moor64.exe,
Plugins/..., Languages/...), for the payload's build.

Usage:
  viewer_folder.py version <program>
      prints the version of a Windows program's version record (its product
      version's first two numbers, as "4.75"); fails when it has none.
  viewer_folder.py list <folder> <uninstaller> <list> <depfile>
      writes the payload's entry list (the form make_zip.py packs) of the
      folder and the uninstaller, and a depfile naming every folder and file
      that was read, so that the build packs again when any of them changes.

The list's order is fixed: p_moor64.exe, then the uninstaller, then the
folder's other files, then each subfolder as its folder entry followed by its
own contents, every level sorted by name. A folder without p_moor64.exe, or
with a name that the setup could not unpack into the same place on every
Windows, stops the build with a message that names the file.
"""

import os
import stat
import struct
import sys

from make_zip import depfile_path

VIEWER = "p_moor64.exe"
UNINSTALLER = "pm_uninstall.exe"

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
# takes for devices whatever their extension.
FORBIDDEN_CHARACTERS = set('<>:"\\|?*')
DEVICE_NAMES = {"con", "prn", "aux", "nul"} | {"%s%d" % (d, n) for d in ("com", "lpt") for n in range(1, 10)}


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


def product_version(path):
    """(major, minor) of the program's fixed version information."""
    with open(path, "rb") as f:
        data = f.read()
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
    product_ms = struct.unpack_from("<I", record, fixed + 16)[0]
    return product_ms >> 16, product_ms & 0xFFFF


# ---- The entry list of a viewer folder. ----

def check_name(folder, name):
    path = os.path.join(folder, name)
    if not name.isascii() or any(ord(c) < 32 or c in FORBIDDEN_CHARACTERS for c in name.replace("/", "")):
        refuse(path, "the name must be ASCII without control characters and without < > : \" \\ | ? *")
    for part in name.rstrip("/").split("/"):
        if part.endswith((".", " ")) or part.strip(". ") == "":
            refuse(path, "a name part that ends in a dot or a blank, or is only dots and blanks, "
                         "does not name the same file on Windows")
        if part.split(".")[0].rstrip(" ").lower() in DEVICE_NAMES:
            refuse(path, "Windows takes this name for a device")
        if part.lower() in UNPACKING_NAMES:
            refuse(path, "the setup uses this name while it unpacks")
    if len(name.rstrip("/")) > LONGEST_NAME:
        refuse(path, "the name is %d characters long; below %s it would not fit a Windows path "
                     "(at most %d characters)" % (len(name.rstrip("/")), DEFAULT_INSTALL_FOLDER, LONGEST_NAME))
    if name.endswith("/") and len(name) - 1 > LONGEST_FOLDER:
        refuse(path, "the folder is %d characters long; below %s the name %s that the setup writes in it would "
                     "not fit a Windows path (at most %d characters)"
               % (len(name) - 1, DEFAULT_INSTALL_FOLDER, NEW_FILE_NAME, LONGEST_FOLDER))


def walk(folder, prefix, entries, read):
    here = os.path.join(folder, prefix)
    read.append(here)
    names = sorted(os.listdir(here))
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
        if entry in (VIEWER, UNINSTALLER):
            continue  # placed first by the caller; the uninstaller is the build's own
        entries.append((entry, os.path.join(here, name)))
        read.append(os.path.join(here, name))
    for name in folders:
        check_name(folder, prefix + name + "/")
        entries.append((prefix + name + "/", ""))
        walk(folder, prefix + name + "/", entries, read)


def write_if_changed(path, text):
    try:
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return  # unchanged: what is made from it need not be made again
    except FileNotFoundError:
        pass
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def list_folder(folder, uninstaller, list_path, depfile):
    folder = os.path.abspath(folder)
    if not os.path.isdir(folder):
        refuse(folder, "not a folder")
    viewer = os.path.join(folder, VIEWER)
    if not os.path.isfile(viewer) or os.path.islink(viewer):
        refuse(viewer, "missing; a viewer folder holds the viewer program at its top")
    if os.path.lexists(os.path.join(folder, UNINSTALLER)):
        refuse(os.path.join(folder, UNINSTALLER), "the setup brings its own uninstaller; remove this one")
    entries, read = [], [viewer]
    walk(folder, "", entries, read)
    entries[0:0] = [(VIEWER, viewer), (UNINSTALLER, uninstaller)]
    write_if_changed(list_path, "".join("%s\t%s\n" % entry for entry in entries))
    with open(depfile, "w", encoding="utf-8") as f:
        f.write("%s: %s\n" % (depfile_path(list_path), " \\\n  ".join(depfile_path(p) for p in read)))


def main(argv):
    if len(argv) == 3 and argv[1] == "version":
        try:
            print("%d.%d" % product_version(argv[2]))
        except (OSError, ValueError, struct.error) as e:
            refuse(argv[2], "no version record could be read (%s)" % e)
    elif len(argv) == 6 and argv[1] == "list":
        list_folder(*argv[2:])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
