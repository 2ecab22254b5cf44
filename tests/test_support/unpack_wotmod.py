#!/usr/bin/env python3
"""Unpacks a .wotmod package with python's zipfile into a folder, after checking what the game's
loader relies on: every entry stored (not compressed), '/' separators, no duplicate names, and a
good CRC for every entry. Prints the entry names, one per line; exits 1 on a fault."""

import sys
import zipfile


def main(package, folder):
    with zipfile.ZipFile(package) as z:
        names = [i.filename for i in z.infolist()]
        faults = []
        for i in z.infolist():
            if i.compress_type != zipfile.ZIP_STORED:
                faults.append("compressed entry: " + i.filename)
            if "\\" in i.filename:
                faults.append("backslash in entry name: " + i.filename)
        if len(set(names)) != len(names):
            faults.append("duplicate entry names")
        bad = z.testzip()
        if bad:
            faults.append("bad CRC: " + bad)
        if faults:
            print("\n".join(faults))
            return 1
        z.extractall(folder)
    print("\n".join(names))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
