#!/usr/bin/env python3
"""Pads a built file with zero bytes to an exact size; fails when it is larger.

Usage: pad_to_size.py <file> <size in bytes>
"""
import sys
from pathlib import Path

path, size = Path(sys.argv[1]), int(sys.argv[2])
length = path.stat().st_size
if length > size:
    sys.exit(f"{path}: {length} bytes, more than the {size} it must have")
with path.open("ab") as out:
    out.write(b"\0" * (size - length))
if path.stat().st_size != size:
    sys.exit(f"{path}: could not be padded to {size} bytes")
