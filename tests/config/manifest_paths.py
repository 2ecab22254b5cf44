#!/usr/bin/env python3
"""Prints what a generated client's manifest says each mod must change or leave, one line each:
mod TAB kind TAB tag TAB path. kind is touch, leave, texture (an embedded space.bin texture that
must be repainted; tag names the configuration file) or left_texture; for leave, tag is the reason.
"""

import json
import sys


def main(path):
    with open(path, encoding="utf-8") as f:
        manifest = json.load(f)
    out = sys.stdout
    for mod, record in manifest["mods"].items():
        for r in record["touch"]:
            out.write("%s\ttouch\t\t%s\n" % (mod, r["path"]))
            for t in r.get("textures", []):
                out.write("%s\ttexture\t%s\t%s\n" % (mod, t["by"], t["name"]))
            for t in r.get("left_textures", []):
                out.write("%s\tleft_texture\t\t%s\n" % (mod, t["name"]))
        for r in record["leave"]:
            out.write("%s\tleave\t%s\t%s\n" % (mod, r["reason"], r["path"]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
