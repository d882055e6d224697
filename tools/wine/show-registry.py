#!/usr/bin/env python3
"""Prints what the setup wrote to the registry of a Wine prefix.

Reads the prefix's saved registry files (system.reg for HKEY_LOCAL_MACHINE,
user.reg for HKEY_CURRENT_USER) after the Wine server has ended, so that the
report costs no Wine start per key.
Usage: show-registry.py <prefix>
"""
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "contract"))
from product_names import NAMES  # noqa: E402

HIVES = {"system.reg": "HKLM", "user.reg": "HKCU"}


def unescape(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            n = text[i + 1]
            if n == "x":
                m = re.match(r"[0-9a-fA-F]{1,4}", text[i + 2:])
                out.append(chr(int(m.group(0), 16)))
                i += 2 + len(m.group(0))
                continue
            out.append({"n": "\n", "r": "\r", "t": "\t", "0": "\0"}.get(n, n))
            i += 2
            continue
        out.append(c)
        i += 1
    return "".join(out)


def parse_value(line):
    m = re.match(r'^(@|"((?:[^"\\]|\\.)*)")=(.*)$', line)
    if not m:
        return None
    name = "(default)" if m.group(1) == "@" else unescape(m.group(2))
    data = m.group(3)
    if data.startswith('"'):
        return name, "REG_SZ", unescape(data[1:-1])
    if data.startswith("str(2):"):
        return name, "REG_EXPAND_SZ", unescape(data[8:-1])
    if data.startswith("dword:"):
        return name, "REG_DWORD", int(data[6:], 16)
    return name, "other", data


def load(prefix):
    keys = {}
    for file, hive in HIVES.items():
        current = None
        with open(f"{prefix}/{file}", encoding="utf-8", errors="replace") as f:
            for raw in f:
                line = raw.rstrip("\n")
                if line.startswith("["):
                    name = unescape(line[1:line.rindex("]")])
                    current = keys.setdefault(f"{hive}\\{name}".lower(), (f"{hive}\\{name}", {}))
                elif current and not line.startswith("#"):
                    value = parse_value(line)
                    if value:
                        current[1][value[0]] = (value[1], value[2])
    return keys


def show_tree(keys, root, limit=None):
    lower = root.lower()
    found = sorted(k for k in keys if k == lower or k.startswith(lower + "\\"))
    if not found:
        print(f"  {root}: (missing)")
        return
    for k in found:
        name, values = keys[k]
        print(f"  {name}")
        items = sorted(values.items())
        for vname, (kind, data) in items[:limit]:
            print(f"      {vname} {kind} {data!r}" if kind == "REG_SZ" else f"      {vname} {kind} {data}")
        if limit and len(items) > limit:
            print(f"      ... {len(items) - limit} more values ({len(items)} in all)")


def main():
    keys = load(sys.argv[1])
    classes = "hklm\\software\\classes\\"
    show_tree(keys, "HKLM\\Software\\Classes\\Pixelmoor")
    show_tree(keys, "HKLM\\Software\\Classes\\Applications\\p_moor64.exe")
    show_tree(keys, "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + NAMES["uninstall_entry"])
    show_tree(keys, "HKLM\\Software\\Pixelmoor", limit=6)
    reg_apps = keys.get("hklm\\software\\registeredapplications", (None, {}))[1]
    print(f"  HKLM\\Software\\RegisteredApplications  Pixelmoor = {reg_apps.get('Pixelmoor', ('', '(missing)'))[1]!r}")
    show_tree(keys, "HKLM\\Software\\Classes\\Directory\\shell\\Durchsuchen mit &Pixelmoor")
    show_tree(keys, "HKLM\\Software\\Classes\\Drive\\shell\\Durchsuchen mit &Pixelmoor")

    progids = sorted(k for k in keys if re.fullmatch(re.escape(classes) + r"pixelmoor\.[a-z0-9]+", k))
    print(f"  ProgID classes HKLM\\Software\\Classes\\Pixelmoor.*: {len(progids)}")
    if progids:
        name, values = keys[progids[0]]
        command = keys.get(progids[0] + "\\shell\\open\\command", (None, {}))[1].get("(default)", ("", ""))[1]
        icon = keys.get(progids[0] + "\\defaulticon", (None, {}))[1].get("(default)", ("", ""))[1]
        print(f"      e.g. {name}: {values.get('(default)', ('', ''))[1]!r}, command {command!r}, icon {icon!r}")
    pointed = sorted(
        keys[k][0].rsplit("\\", 1)[1]
        for k in keys
        if re.fullmatch(re.escape(classes) + r"\.[a-z0-9]+", k)
        and str(keys[k][1].get("(default)", ("", ""))[1]).startswith("Pixelmoor.")
    )
    print(f"  extensions pointed at the viewer: {len(pointed)}")
    line = "     "
    for ext in pointed:
        if len(line) + len(ext) > 100:
            print(line)
            line = "     "
        line += " " + ext
    if pointed:
        print(line)
    choices = [k for k in keys if k.startswith("hkcu\\software\\microsoft\\windows\\currentversion\\explorer\\fileexts\\")
               and k.endswith("\\userchoice") and "Progid" in keys[k][1]
               and str(keys[k][1]["Progid"][1]).startswith("Pixelmoor.")]
    print(f"  per-user choices (HKCU ...\\FileExts\\.<ext>\\UserChoice Progid): {len(choices)}")
    hidden = [k for k in keys if k.startswith("hkcu\\software\\classes\\appx") and "NoOpenWith" in keys[k][1]]
    print(f"  store-app classes with NoOpenWith (HKCU): {len(hidden)}")


if __name__ == "__main__":
    main()
