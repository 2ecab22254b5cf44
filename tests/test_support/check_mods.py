#!/usr/bin/env python3
"""Checks what the engine wrote for one mod against a generated client's manifest, with its own
readers: model files byte for byte (the expected bytes are made here from the package's original
item and the manifest's references), textures decoded with Pillow, space.bin files byte for byte
outside the repainted slots.

    check_mods.py --manifest M --client C --out DIR --mod DPT [options]

DIR holds the mod's files below their item paths (a work folder, or an unpacked package).
Prints one line per fault and exits 1 when there is any; prints "checked N files" otherwise.
"""

import argparse
import io
import json
import os
import sys
import zipfile

from PIL import Image

CRASH_FX = b"shaders/std_effects/PBS_tank_crash.fx"
TANK_FX = b"shaders/std_effects/PBS_tank.fx"


def resample(img, w_new, h_new):
    """The engine's documented downsizing: destination (X, Y) reads source (X * (w - 1) / W,
    Y * (h - 1) / H), interpolated between its four neighbours."""
    w, h = img.size
    src = img.load()
    out = Image.new("RGBA", (w_new, h_new))
    dst = out.load()
    sx, sy = w_new / (w - 1), h_new / (h - 1)
    for y in range(h_new):
        v = y / sy
        j = int(v)
        fy = v - j
        for x in range(w_new):
            u = x / sx
            i = int(u)
            fx = u - i
            a, b = src[i, j], src[min(i + 1, w - 1), j]
            c, d = src[i, min(j + 1, h - 1)], src[min(i + 1, w - 1), min(j + 1, h - 1)]
            dst[x, y] = tuple(int(a[k] * (1 - fx) * (1 - fy) + b[k] * fx * (1 - fy) + c[k] * (1 - fx) * fy
                                  + d[k] * fx * fy) for k in range(4))
    return out


class Checker:
    def __init__(self, args):
        self.args = args
        with open(args.manifest, encoding="utf-8") as f:
            self.manifest = json.load(f)
        self.record = self.manifest["mods"][args.mod]
        self.faults = []
        self.checked = 0
        self.expected = []  # item paths the folder must hold
        self._zips = {}

    def fault(self, text):
        self.faults.append(text)

    def original(self, package, path):
        z = self._zips.get(package)
        if z is None:
            z = zipfile.ZipFile(os.path.join(self.args.client, "res", "packages", package))
            self._zips[package] = z
        return z.read(path)

    def out_path(self, path):
        prefix = ["res"] if self.args.package else []
        return os.path.join(self.args.out, *(prefix + path.split("/")))

    def read_out(self, path):
        p = self.out_path(path)
        if not os.path.isfile(p):
            self.fault("missing: " + path)
            return None
        with open(p, "rb") as f:
            return f.read()

    def in_scope(self, entry):
        return not self.args.packages or entry["package"] in self.args.packages

    # Model files ---------------------------------------------------------------------------

    def expected_model(self, entry, key):
        data = self.original(entry["package"], entry["path"])
        if entry.get("shader"):
            data = data.replace(CRASH_FX, TANK_FX + b"\0" * (len(CRASH_FX) - len(TANK_FX)))
        for ref in entry["references"]:
            new = ref.get(key)
            if new is None:
                continue
            old = (ref["property"] + ref["path"]).encode("latin-1")
            repl = (ref["property"] + new).encode("latin-1")[:len(old)].ljust(len(old), b"\0")
            if old not in data:
                self.fault("reference not in the original: %s %s" % (entry["path"], ref["path"]))
            data = data.replace(old, repl)
        return data

    def check_models(self):
        key = "becomes_remove_shadows" if self.args.remove_shadows and self.args.mod == "DPT" else "becomes"
        written = lambda e: e.get("written") != "remove_shadows_only" or self.args.remove_shadows
        for e, got, _ in self.expected_files(written):
            want = self.expected_model(e, key)
            if got != want:
                first = next((i for i in range(min(len(got), len(want))) if got[i] != want[i]), None)
                self.fault("bytes differ: %s (sizes %d/%d, first difference at %s)"
                           % (e["path"], len(got), len(want), first))
            self.checked += 1

    # Textures -------------------------------------------------------------------------------

    @staticmethod
    def decode(data):
        img = Image.open(io.BytesIO(data))
        img.load()
        return img.convert("RGBA")

    def check_colour(self, name, got, original, colour, size=None):
        """Every pixel has the colour; alpha 0 stays 0, every other alpha becomes opaque. A side
        below 4 is widened to 4 (size); only the original pixels are compared."""
        try:
            new, old = self.decode(got), self.decode(original)
        except Exception as e:  # any decoder complaint is a fault of the written file
            self.fault("undecodable: %s (%s)" % (name, e))
            return
        if new.size != (size or old.size):
            self.fault("size changed: %s %s -> %s" % (name, old.size, new.size))
            return
        new = new.crop((0, 0) + old.size)
        want = tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5))
        bad = 0
        for (r, g, b, a), (_, _, _, a0) in zip(new.getdata(), old.getdata()):
            if a0 == 0:
                bad += a != 0
            else:
                bad += a != 255 or max(abs(r - want[0]), abs(g - want[1]), abs(b - want[2])) > 8
        if bad:
            self.fault("%d pixels off the colour %s: %s" % (bad, colour, name))

    def expected_files(self, keep):
        """(entry, written bytes, original bytes) for every touch entry in scope that keep()
        accepts; the paths go to expected, missing files are faults."""
        for e in self.record["touch"]:
            if not self.in_scope(e) or not keep(e):
                continue
            self.expected.append(e["path"])
            got = self.read_out(e["path"])
            if got is not None:
                yield e, got, self.original(e["package"], e["path"])

    def check_textures(self):
        colour = self.args.color
        for e, got, original in self.expected_files(lambda e: not (e.get("hd") and self.args.without_hd)):
            if self.args.mod == "CAMO":
                self.check_dimmed(e["path"], got, original)
                written = e.get("written_by_ratio", {}).get(str(self.args.ratio))
            else:
                written = e.get("written")
                size = (written["width"], written["height"]) if written else None
                self.check_colour(e["path"], got, original, colour, size)
            if written and len(got) != written["size"]:
                self.fault("%s is %d bytes, expected %d" % (e["path"], len(got), written["size"]))
            self.checked += 1

    def check_dimmed(self, name, got, original):
        try:
            new, old = self.decode(got), self.decode(original)
        except Exception as e:
            self.fault("undecodable: %s (%s)" % (name, e))
            return
        r = self.args.ratio
        w, h = old.size
        if r > 0:
            w, h = max(16, w // r), max(16, h // r)
        if new.size != (w, h):
            self.fault("size: %s is %s, expected %s" % (name, new.size, (w, h)))
            return
        if got[84:88] != original[84:88]:
            self.fault("format changed: %s" % name)

        ref = old if new.size == old.size else resample(old, w, h)
        v = self.args.visibility
        diff = 0
        for (r, g, b, _), (r0, g0, b0, _) in zip(new.getdata(), ref.getdata()):
            diff += abs(r - v * r0 // 100) + abs(g - v * g0 // 100) + abs(b - v * b0 // 100)
        mean = diff / (3.0 * w * h)
        # Noisy blocks re-encode with a visible block error, shrunk ones more so; an undimmed or
        # wrongly sampled texture is off by several times this.
        if mean > (10 if ref is old else 14):
            self.fault("colours of %s are %.1f off the dimmed original on average" % (name, mean))

    # space.bin ------------------------------------------------------------------------------

    def check_space_bins(self):
        colours = {"MapTanks": self.args.tank_color, "MapTrains": self.args.train_color}

        def painted(e):
            # A texture whose repaint outgrows its slot keeps its bytes.
            return [t for t in e["textures"] if colours.get(t["by"]) and t.get("patched", True)]
        for e, got, original in self.expected_files(lambda e: painted(e)):
            if len(got) != len(original):
                self.fault("space.bin size changed: %s" % e["path"])
                continue
            slots = sorted((t["offset"], t["offset"] + t["length"]) for t in painted(e))
            pos = 0
            for start, end in slots + [(len(got), len(got))]:
                if got[pos:start] != original[pos:start]:
                    self.fault("bytes outside the repainted textures changed in %s between %d and %d"
                               % (e["path"], pos, start))
                    break
                pos = end
            for t in painted(e):
                slot = got[t["offset"]:t["offset"] + t["length"]]
                old = original[t["offset"]:t["offset"] + t["length"]]
                self.check_colour(e["path"] + ":" + t["name"], slot, old, colours[t["by"]])
            self.checked += 1

    def list_errors(self):
        """The errors the mod's workers must report: package TAB message, one per line, for the
        colours given (a space.bin error names the first refused texture whose colour is set)."""
        colours = {"MapTanks": self.args.tank_color, "MapTrains": self.args.train_color}
        for e in self.record.get("errors", []):
            message = e["message_contains"]
            if "refused" in e:
                refused = [r for r in e["refused"] if colours.get(r["by"])]
                if not refused:
                    continue
                message = refused[0]["message_contains"]
            print("%s\t%s" % (e["package"], message))
        return 0

    def run(self):
        if self.args.list_errors:
            return self.list_errors()
        mod = self.args.mod
        if mod in ("DPT", "CCT"):
            self.check_models()
        elif mod == "SpaceBin":
            self.check_space_bins()
        else:
            self.check_textures()
        expected = self.expected
        if self.args.exact:
            extra = list(self.args.extra or [])
            if self.args.package:
                expected = ["res/" + p for p in expected]
                extra = ["res/" + p for p in extra] + ["meta.xml", "properties.xml"]
            want = set(expected) | set(extra)
            have = set()
            for root, _, files in os.walk(self.args.out):
                for f in files:
                    have.add(os.path.relpath(os.path.join(root, f), self.args.out).replace(os.sep, "/"))
            for p in sorted(have - want):
                self.fault("unexpected file: " + p)
            for p in sorted(set(extra) - have):
                self.fault("missing: " + p)
        for f in self.faults:
            print(f)
        if not self.faults:
            print("checked %d files" % self.checked)
        return 1 if self.faults else 0


def main(argv):
    p = argparse.ArgumentParser()
    p.add_argument("--manifest", required=True)
    p.add_argument("--client", required=True)
    p.add_argument("--out", required=True)
    p.add_argument("--mod", required=True, choices=["DPT", "CCT", "MEM", "CTM", "SpaceBin", "CAMO"])
    p.add_argument("--packages", nargs="*", help="only entries of these packages")
    p.add_argument("--exact", action="store_true", help="the folder holds nothing else")
    p.add_argument("--extra", nargs="*", help="further files the folder must hold (with --exact)")
    p.add_argument("--package", action="store_true",
                   help="the folder is an unpacked package: the files below res/, the descriptors at the top")
    p.add_argument("--list-errors", action="store_true", help="print the errors the workers must report")
    p.add_argument("--remove-shadows", action="store_true")
    p.add_argument("--without-hd", action="store_true")
    p.add_argument("--color", default="#FFFFFF")
    p.add_argument("--tank-color", default="")
    p.add_argument("--train-color", default="")
    p.add_argument("--visibility", type=int, default=30)
    p.add_argument("--ratio", type=int, default=0)
    return Checker(p.parse_args(argv)).run()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
