#!/usr/bin/env python3
"""Makes a main package of the peer benchmark: the stand-in installer's
files, padded with further entries shaped like the product's to 14,845,057
bytes ("full"), or the same entries with the padding cut to 1 KiB ("tiny").
The files go into FOLDER/KIND (for the NSIS installer), the package into
FOLDER/KIND.pk24.
Usage: make_peer_packages.py PK24 FOLDER full|tiny STANDIN_FILE..."""
import os
import random
import shutil
import subprocess
import sys

TOTAL = 14845057
FURTHER = [("ISSetup.dll", 598016), ("data1.hdr", 27318), ("_setup.dll", 155648), ("0x0411.ini", 5410),
           ("data2.cab", None), ("data1.cab", 4194304)]
TINY = 1024

pk24, folder, kind, standins = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
fixed = sum(os.path.getsize(path) for path in standins) + sum(size for _, size in FURTHER if size)
overhead = 24 + 284 * (len(standins) + len(FURTHER))
further = [(name, size if size else TOTAL - overhead - fixed) for name, size in FURTHER]
rng = random.Random(TOTAL)
out = os.path.join(folder, kind)
shutil.rmtree(out, ignore_errors=True)
os.makedirs(out)
paths = [shutil.copy(path, out) for path in standins]
for name, size in further:
    path = os.path.join(out, name)
    with open(path, "wb") as data:
        data.write(rng.randbytes(size if kind == "full" else TINY))
    paths.append(path)
package = os.path.join(folder, kind + ".pk24")
subprocess.run([pk24, "pack", package] + paths, check=True)
assert kind != "full" or os.path.getsize(package) == TOTAL
