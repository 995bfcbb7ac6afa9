#!/usr/bin/env python3
"""Makes a package shaped like the product's main package for the benchmark:
the six named entries of their real sizes first, then further entries, 14,845,057
bytes in all. Usage: make_shaped_package.py PK24 OUTPUT.pk24 WORK_FOLDER"""
import os
import random
import subprocess
import sys

TOTAL = 14845057
HEAD = [("setup.skin", 243858), ("setup.exe", 107512), ("engine32.cab", 418296),
        ("setup.inx", 166027), ("setup.ini", 501), ("setup.boot", 392330)]
FURTHER = [("ISSetup.dll", 598016), ("data1.hdr", 27318), ("layout.bin", 612), ("_setup.dll", 155648),
           ("0x0411.ini", 5410), ("data2.cab", None), ("data1.cab", 4194304)]

pk24, output, folder = sys.argv[1:4]
os.makedirs(folder, exist_ok=True)
entries = HEAD + FURTHER
fixed = sum(size for _, size in entries if size is not None)
overhead = 24 + 284 * len(entries)
entries = [(name, size if size is not None else TOTAL - overhead - fixed) for name, size in entries]
rng = random.Random(14845057)
paths = []
for name, size in entries:
    path = os.path.join(folder, name)
    with open(path, "wb") as out:
        out.write(rng.randbytes(size))
    paths.append(path)
subprocess.run([pk24, "pack", output] + paths, check=True)
assert os.path.getsize(output) == TOTAL, os.path.getsize(output)
