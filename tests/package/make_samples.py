#!/usr/bin/env python3
"""Writes sample payloads of given sizes: FOLDER SIZE... -> FOLDER/sample_SIZE.bin.
The bytes are pseudo-random but the same on every build (seeded by the size),
so a fault in restoring any byte shows."""
import os
import random
import sys

folder = sys.argv[1]
os.makedirs(folder, exist_ok=True)
for size in map(int, sys.argv[2:]):
    data = random.Random(size).randbytes(size)
    with open(os.path.join(folder, "sample_%d.bin" % size), "wb") as out:
        out.write(data)
