#!/usr/bin/env python3
"""Compares the packages of two engine runs, file for file, with python's zipfile:

    compare_packages.py FOLDER_A FOLDER_B

Both folders must hold the same package names, and each pair the same entries in the same order,
with the same compression and the same bytes. Aside: the run stamp (".YYMMDD.HHMMSS" in package
names and in meta.xml's version) and the entries' time stamps, which differ between any two runs.
Prints one line per difference and exits 1 when there is any."""

import os
import re
import sys
import zipfile

STAMP = re.compile(r"\.\d{6}\.\d{6}")


def packages(folder):
    found = {}
    for root, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(root, name)
            key = STAMP.sub(".STAMP", os.path.relpath(path, folder))
            found[key] = path
    return found


def compare(a, b):
    faults = []
    left, right = packages(a), packages(b)
    if sorted(left) != sorted(right):
        faults.append("package names differ: %s / %s" % (sorted(left), sorted(right)))
    for key in sorted(set(left) & set(right)):
        with zipfile.ZipFile(left[key]) as za, zipfile.ZipFile(right[key]) as zb:
            ia, ib = za.infolist(), zb.infolist()
            if [i.filename for i in ia] != [i.filename for i in ib]:
                faults.append("%s: entry lists differ" % key)
                continue
            for ea, eb in zip(ia, ib):
                if ea.compress_type != eb.compress_type:
                    faults.append("%s: %s: compression differs" % (key, ea.filename))
                da, db = za.read(ea), zb.read(eb)
                if ea.filename == "meta.xml":
                    da, db = STAMP.sub(".STAMP", da.decode("latin-1")), STAMP.sub(".STAMP", db.decode("latin-1"))
                if da != db:
                    faults.append("%s: %s: contents differ" % (key, ea.filename))
    return faults, len(left)


def main():
    faults, count = compare(sys.argv[1], sys.argv[2])
    if faults:
        print("\n".join(faults))
        return 1
    if count == 0:
        print("no packages")
        return 1
    print("%d packages match" % count)
    return 0


if __name__ == "__main__":
    sys.exit(main())
