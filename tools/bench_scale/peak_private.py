#!/usr/bin/env python3
"""Runs a Windows program under Wine and prints its peak private memory.

Usage: peak_private.py PROGRAM.exe [ARGS...]    (Wine's environment as set)

Private memory is what Windows counts as a process's private bytes: the
anonymous pages of the program's Linux process (heap, stacks, what Wine
copies into memory), without the executable's own image. Wine reads the
sections of an image whose file offsets are not page-aligned into anonymous
memory, so the image's range (from its first file-backed page over
SizeOfImage) is left out; views of data files are file-backed and never
counted. Wine's own figures have no peak, so the process's page tables are
sampled every few milliseconds; the peak is the largest sample.

Prints "peak private <MB> MB (image <MB> MB left out, <n> samples)".
"""

import os
import struct
import subprocess
import sys
import time

INTERVAL = 0.005


def image_size(path):
    with open(path, "rb") as f:
        head = f.read(4096)
    (pe,) = struct.unpack_from("<I", head, 0x3C)
    (size,) = struct.unpack_from("<I", head, pe + 24 + 56)  # SizeOfImage of the PE32+ optional header
    return size


def find_process(name):
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                cmdline = f.read()
        except OSError:
            continue
        # Wine gives the Windows process the program as its first argument.
        first = cmdline.split(b"\0")[0].replace(b"\\", b"/").rsplit(b"/", 1)[-1]
        if first == name:
            return int(pid)
    return None


def private_kb(pid, exe_path, size):
    """Anonymous kB outside the executable's image range, and the image's share."""
    image = None
    mappings = []
    current = None
    with open("/proc/%d/smaps" % pid) as f:
        for line in f:
            first = line.split(None, 1)[0]
            if "-" in first and not first.endswith(":"):
                parts = line.split()
                start, end = (int(x, 16) for x in parts[0].split("-"))
                current = [start, end, 0]
                mappings.append(current)
                if image is None and len(parts) >= 6 and parts[5] == exe_path:
                    image = start
            elif first == "Anonymous:" and current is not None:
                current[2] = int(line.split()[1])
    inside = outside = 0
    for start, end, kb in mappings:
        if image is not None and image <= start < image + size:
            inside += kb
        else:
            outside += kb
    return outside, inside


def main():
    exe = os.path.realpath(sys.argv[1])
    size = image_size(exe)
    name = os.path.basename(exe).encode()
    child = subprocess.Popen(["wine", exe] + sys.argv[2:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    pid = None
    peak = image_kb = samples = 0
    while child.poll() is None:
        if pid is None:
            pid = find_process(name)
        if pid is not None:
            try:
                outside, inside = private_kb(pid, exe, size)
                samples += 1
                peak = max(peak, outside)
                image_kb = max(image_kb, inside)
            except (OSError, ValueError):
                pass
        time.sleep(INTERVAL)
    print("peak private %.1f MB (image %.1f MB left out, %d samples)" % (peak / 1024, image_kb / 1024, samples))
    return child.returncode


if __name__ == "__main__":
    sys.exit(main())
