"""Tests of the synthetic client generator: each generates a small client into a temporary folder
and checks it with readers that do not share the generator's code."""

import io
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile
import xml.etree.ElementTree as ET
from pathlib import Path

from client_readers import (PackedError, dds_expected_size, fx_strings, read_packed,
                            space_bin_rows, texture_references, walk_bsma)

try:
    from PIL import Image
except ImportError:  # reported by the test that needs it
    Image = None

GEN = Path(__file__).resolve().parents[2] / "tools" / "gen_client.py"
CRASH_FX = "shaders/std_effects/PBS_tank_crash.fx"


def run_gen(out, *args, check=True):
    res = subprocess.run([sys.executable, str(GEN), "--out", str(out)] + list(args),
                         capture_output=True, text=True)
    if check and res.returncode != 0:
        raise AssertionError("generator failed: %s %s" % (res.stdout, res.stderr))
    return res


def load(out):
    with open(os.path.join(out, "manifest.json"), encoding="utf-8") as f:
        m = json.load(f)
    return m, Path(out) / m["client"]["folder"]


def zip_items(path):
    with zipfile.ZipFile(path) as z:
        return {i.filename: i for i in z.infolist()}


class SmallClient(unittest.TestCase):
    """The default small client, generated once for the whole class."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="gen_client_")
        cls.out = os.path.join(cls.tmp, "a")
        run_gen(cls.out, "--seed", "5")
        cls.m, cls.client = load(cls.out)
        cls.pkgdir = cls.client / "res" / "packages"
        cls.contents = {}
        for name in cls.m["packages"]:
            with zipfile.ZipFile(cls.pkgdir / name) as z:
                cls.contents[name] = {i.filename: z.read(i) for i in z.infolist() if not i.is_dir()}

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def all_files(self, suffix):
        for pkg, files in self.contents.items():
            for path, data in files.items():
                if path.lower().endswith(suffix):
                    yield pkg, path, data

    def test_manifest_matches_the_files_on_disk(self):
        on_disk = sorted(p.name for p in self.pkgdir.iterdir())
        self.assertEqual(sorted(self.m["packages"]), on_disk)
        for name, rec in self.m["packages"].items():
            self.assertEqual(rec["size"], (self.pkgdir / name).stat().st_size, name)
            self.assertEqual(rec["files"], len(self.contents[name]), name)
        for mod, spec in self.m["mods"].items():
            self.assertTrue(spec["touch"], mod)
            seen = set()
            for rec in spec["touch"] + spec["leave"]:
                self.assertIn(rec["path"], self.contents[rec["package"]], (mod, rec))
                key = (rec["package"], rec["path"])
                self.assertNotIn(key, seen, (mod, key))
                seen.add(key)
                if "size" in rec:
                    self.assertEqual(rec["size"], len(self.contents[rec["package"]][rec["path"]]), rec)
        # Every scope file the mod could meet is accounted for, one way or the other.
        scope = {
            "DPT": lambda p: p.endswith(".visual_processed") and p.startswith("vehicles/"),
            "CAMO": lambda p: "/camouflage/" in p.lower(),
            "MEM": lambda p: p.lower().endswith(".dds") and (p.startswith("content/") or p.startswith("spaces/")),
            "SpaceBin": lambda p: "space.bin" in p.lower(),
        }
        for mod, want in scope.items():
            listed = {(r["package"], r["path"]) for r in self.m["mods"][mod]["touch"] + self.m["mods"][mod]["leave"]}
            for pkg, files in self.contents.items():
                for path in files:
                    if want(path) and self.m["packages"][pkg]["listed"]:
                        self.assertIn((pkg, path), listed, mod)

    def test_root_files_give_the_client_facts(self):
        c = self.m["client"]
        version = (self.client / "version.xml").read_text()
        self.assertIn("<version>\tv.1.24.0.1 #1234\t</version>", version)
        self.assertEqual(re.search(r"<realm>\s*(\w+)\s*</realm>", version).group(1), c["realm"])
        self.assertEqual((c["version"], c["build"], c["realm"]), ("1.24.0.1", "1234", "EU"))
        info = (self.client / "game_info.xml").read_text()
        self.assertIn('wgc_publisher_id="wargaming"', info)
        self.assertTrue(c["is_wargaming"] and not c["is_lesta"] and not c["is_common_test"])
        self.assertTrue((self.client / "WorldOfTanks.exe").is_file())
        self.assertTrue((self.client / "win64" / "WorldOfTanks.exe").is_file())
        self.assertFalse((self.client / "win32").exists())
        paths = (self.client / "paths.xml").read_text()
        self.assertIn("<Path cacheSubdirs=\"true\">./res_mods/1.24.0.1</Path>", paths)
        self.assertIn('root="res">./mods/1.24.0.1</Path>', paths)
        self.assertEqual(c["res_mods_dir"], "res_mods/1.24.0.1/")
        self.assertTrue((self.client / "mods" / "1.24.0.1").is_dir())
        listed = re.findall(r'<Package type="([^"]+)">\./res/packages/([^<]+)</Package>', paths)
        self.assertEqual(sorted(n for _, n in listed), sorted(self.m["packages"]))
        for kind, name in listed:
            self.assertEqual(kind, "hd" if ("_hd.pkg" in name or "_hd-part" in name) else "sd,hd", name)

    def test_package_lists_sort_the_way_the_client_examination_does(self):
        c = self.m["client"]
        for key in ("pkgs", "map_pkgs", "map_pkgs_with_hd", "vehicle_pkgs", "vehicle_pkgs_with_hd"):
            self.assertEqual(c[key], sorted(c[key], key=lambda s: s.encode()), key)
        self.assertIn("vehicles_level_05-part2.pkg", c["vehicle_pkgs"])
        self.assertIn("vehicles_level_05_hd-part1.pkg", c["vehicle_pkgs_with_hd"])
        self.assertNotIn("vehicles_level_05_hd-part1.pkg", c["pkgs"])
        self.assertIn("01_karelia.pkg", c["map_pkgs"])
        self.assertIn("01_karelia_hd.pkg", c["map_pkgs_with_hd"])
        self.assertNotIn("01_karelia_hd.pkg", c["map_pkgs"])
        self.assertIn("shared_content-part1.pkg", c["map_pkgs"])
        self.assertIn("shared_content-part1.pkg", c["vehicle_pkgs"])
        self.assertIn("shared_content_hd-part2.pkg", c["vehicle_pkgs_with_hd"])
        self.assertNotIn("h33_comp7.pkg", c["map_pkgs"])
        self.assertIn("h33_comp7.pkg", c["pkgs"])
        self.assertIn("scripts.pkg", c["pkgs"])
        self.assertNotIn("scripts.pkg", c["vehicle_pkgs_with_hd"] + c["map_pkgs_with_hd"])

    def test_packages_are_plain_stored_zips(self):
        for name in self.m["packages"]:
            path = self.pkgdir / name
            with zipfile.ZipFile(path) as z:
                self.assertIsNone(z.testzip(), name)
                names = set(z.namelist())
                for i in z.infolist():
                    self.assertNotIn("\\", i.filename)
                    self.assertEqual(i.compress_type, zipfile.ZIP_STORED, i.filename)
                    self.assertEqual(i.extra, b"", i.filename)
                    parent = i.filename.rstrip("/").rpartition("/")[0]
                    if parent:
                        self.assertIn(parent + "/", names, i.filename)
            raw = path.read_bytes()
            self.assertEqual(raw[-22:-18], b"PK\x05\x06", "plain end record " + name)
            self.assertNotIn(b"PK\x06\x06", raw[-200:], name)
            res = subprocess.run(["unzip", "-tqq", str(path)], capture_output=True, text=True)
            self.assertEqual(res.returncode, 0, name + res.stdout + res.stderr)

    def test_every_dds_decodes_and_has_its_exact_size(self):
        self.assertIsNotNone(Image, "python3 Pillow (Debian python3-pil) is needed")
        count = 0
        three_colour = six_alpha = 0
        for pkg, path, data in self.all_files(".dds"):
            with Image.open(io.BytesIO(data)) as im:
                im.load()
                w, h = struct.unpack_from("<II", data, 12)[::-1]
                self.assertEqual(im.size, (w, h), path)
            self.assertEqual(len(data), dds_expected_size(data), path)
            if path.endswith("_hd.dds"):
                self.assertTrue(self.m["packages"][pkg]["hd"], path)
            fourcc = data[84:88]
            step = 8 if fourcc == b"DXT1" else 16
            for off in range(128, len(data), step):
                if fourcc == b"DXT1":
                    c0, c1, bits = struct.unpack_from("<HHI", data, off)
                    if c0 <= c1 and any((bits >> (2 * i)) & 3 == 3 for i in range(16)):
                        three_colour += 1
                elif data[off] <= data[off + 1] and data[off] != data[off + 1]:
                    six_alpha += 1
            count += 1
        self.assertGreater(count, 200)
        self.assertGreater(three_colour, 0, "no DXT1 block uses the transparent 3-colour mode")
        self.assertGreater(six_alpha, 0, "no DXT5 block uses the 6-value alpha mode")

    def test_visuals_are_packed_sections_with_the_references_the_manifest_lists(self):
        parsed = {}
        long_refs = []
        for pkg, path, data in self.all_files(".visual_processed"):
            try:
                root = read_packed(data)
            except (PackedError, ValueError, struct.error) as e:
                self.fail("%s: %s" % (path, e))
            refs = texture_references(root)
            for name, tex, at in refs:
                # The engine reads the length of name + path from the four bytes before the name.
                desc = struct.unpack_from("<I", data, at - 4)[0]
                self.assertEqual(desc, 0x10000000 | (len(name) + len(tex)), path)
                self.assertEqual(data[at:at + len(name) + len(tex)], (name + tex).encode(), path)
                if len(name) + len(tex) > 255:
                    long_refs.append((pkg, path, name, tex, desc))
            parsed[(pkg, path)] = (root, refs)
        # Exactly one reference is long enough for its length's low byte to wrap, and the
        # crashed-tank mod must rewrite it.
        self.assertEqual(len(long_refs), 1, long_refs)
        pkg, path, name, tex, desc = long_refs[0]
        self.assertNotEqual(desc & 0xFF, len(name) + len(tex))
        touch = [r for r in self.m["mods"]["DPT"]["touch"] if (r["package"], r["path"]) == (pkg, path)]
        self.assertEqual(touch[0]["case"], "long_reference")
        ref = [r for r in touch[0]["references"] if r["path"] == tex][0]
        self.assertEqual((ref["length"], ref["becomes"]), (len(name) + len(tex), "vehicles/tank_crash.dds"))
        self.assertGreater(len(parsed), 50)
        for mod in ("DPT", "CCT"):
            for rec in self.m["mods"][mod]["touch"]:
                root, refs = parsed[(rec["package"], rec["path"])]
                self.assertEqual([(r["property"], r["path"]) for r in rec["references"]],
                                 [(n, t) for n, t, _ in refs], rec["path"])
                self.assertIn("/crash/", rec["path"])
                self.assertGreater(rec["size"], 600)
        for rec in self.m["mods"]["DPT"]["touch"]:
            root, _ = parsed[(rec["package"], rec["path"])]
            self.assertEqual(rec["shader"], CRASH_FX in fx_strings(root), rec["path"])
            self.assertNotIn("Chassis", rec["path"])
        for rec in self.m["mods"]["CCT"]["touch"]:
            self.assertTrue(rec["path"].endswith("/Chassis.visual_processed"), rec["path"])
            self.assertTrue(all(r["becomes"] == ("vehicles/track_crash.dds" if r["property"] == "diffuseMap" else None)
                                for r in rec["references"]))

    def test_planted_visual_edge_cases(self):
        dpt = self.m["mods"]["DPT"]
        leave = {r["path"].rpartition("/")[2]: r for r in dpt["leave"] if "/crash/" in r["path"]}
        touch = {r["path"].rpartition("/")[2]: r for r in dpt["touch"]}
        self.assertEqual(leave["Gun_09.visual_processed"]["size"], 600)
        self.assertEqual(touch["Gun_08.visual_processed"]["size"], 601)
        self.assertIn("nothing to rewrite", leave["Turret_03.visual_processed"]["reason"])
        small_chassis = [r for r in self.m["mods"]["CCT"]["leave"] if r["reason"] == "600 bytes or smaller"]
        self.assertEqual(len(small_chassis), 1)
        # Inside textures: hull and turret go to the inside texture, guns keep theirs.
        for rec in dpt["touch"]:
            for r in rec["references"]:
                inside = "_inside" in r["path"].lower()
                if r["property"] == "diffuseMap":
                    want = ("vehicles/inside_crash.dds" if rec["part"] != "gun" else None) if inside else "vehicles/tank_crash.dds"
                    self.assertEqual(r["becomes"], want, (rec["path"], r["path"]))
                if r["property"] in ("normalMap", "metallicGlossMap"):
                    self.assertIsNone(r["becomes_remove_shadows"])
        self.assertTrue(any("_Inside_" in r["path"] for rec in dpt["touch"] for r in rec["references"]))

    def test_planted_model_folders_levels_and_segments(self):
        dpt, cct = self.m["mods"]["DPT"], self.m["mods"]["CCT"]

        def by_case(recs, case):
            return [r for r in recs if r.get("case") == case]
        # A crash-folder track segment counts as a turret: its inside texture takes the inside
        # colour, which a gun would keep.
        seg = by_case(dpt["touch"], "segment")
        self.assertEqual(len(seg), 1)
        self.assertTrue(seg[0]["path"].endswith("/crash/track/Segment.visual_processed"))
        self.assertEqual(seg[0]["part"], "turret")
        root = read_packed(self.contents[seg[0]["package"]][seg[0]["path"]])
        self.assertEqual(set(fx_strings(root)), {CRASH_FX})
        inside = [r["becomes"] for r in seg[0]["references"]
                  if r["property"] == "diffuseMap" and "_inside_" in r["path"].lower()]
        self.assertEqual(inside, ["vehicles/inside_crash.dds"])
        self.assertEqual([r["reason"] for r in by_case(cct["leave"], "segment")],
                         ["not a chassis model: the crashed-tank mod's"])
        # Plain track folders and client collision folders are left by both mods.
        for case, folder, reason in (("track_folder", "/track/", "track model, not in a crash folder"),
                                     ("collision_client", "/collision_client/", "collision model, not in a crash folder")):
            for mod in (dpt, cct):
                left = by_case(mod["leave"], case)
                self.assertTrue(left, case)
                for r in left:
                    self.assertTrue(folder in r["path"] and "/crash/" not in r["path"], r["path"])
                    self.assertEqual(r["reason"], reason)
        # The same vehicle has crash levels 1 and 2 of its parts, each one a mod must write.
        base = seg[0]["path"].split("/crash/")[0] + "/"
        files = self.contents[seg[0]["package"]]
        touched = {r["path"] for mod in (dpt, cct) for r in mod["touch"]}
        for lod in ("lod1", "lod2"):
            parts = {p for p in files if p.startswith(base + "crash/%s/" % lod) and p.endswith(".visual_processed")}
            self.assertTrue({base + "crash/%s/%s.visual_processed" % (lod, n) for n in ("Hull", "Chassis", "Turret_01")} <= parts)
            self.assertEqual(parts - touched, set())

    def test_planted_texture_shapes_and_what_the_repaint_writes(self):
        # (mod, case, format, header width, height and mipmap count (None: no chain), size,
        # what the repaint writes; for camouflages per downsizing ratio)
        expect = [
            ("MEM", "partial_chain", b"DXT1", (64, 64, 3), 2816, {"width": 64, "height": 64, "mipmaps": 7, "size": 2872}),
            ("MEM", "side_below_4", b"DXT1", (2, 512, None), 1152, {"width": 4, "height": 512, "mipmaps": 1, "size": 1152}),
            ("MEM", "odd_size", b"DXT5", (90, 40, 7), 5216, {"width": 90, "height": 40, "mipmaps": 7, "size": 5216}),
            ("CTM", "partial_chain", b"DXT5", (64, 64, 3), 5504, {"width": 64, "height": 64, "mipmaps": 7, "size": 5616}),
            ("CTM", "odd_size", b"DXT5", (100, 36, None), 3728, {"width": 100, "height": 36, "mipmaps": 1, "size": 3728}),
            ("CAMO", "partial_chain", b"DXT5", (64, 64, 3), 5504,
             {"0": {"width": 64, "height": 64, "mipmaps": 7, "size": 5616},
              "8": {"width": 16, "height": 16, "mipmaps": 5, "size": 496}}),
            ("CAMO", "side_below_4", b"DXT1", (2, 1024, None), 2176,
             {"0": {"width": 2, "height": 1024, "mipmaps": 1, "size": 2176},
              "2": {"width": 16, "height": 512, "mipmaps": 1, "size": 4224}}),
        ]
        for mod, case, fourcc, head, size, written in expect:
            recs = [r for r in self.m["mods"][mod]["touch"] if r.get("case") == case and not r["hd"]]
            self.assertEqual(len(recs), 1, (mod, case))
            rec = recs[0]
            data = self.contents[rec["package"]][rec["path"]]
            h, w = struct.unpack_from("<II", data, 12)
            mips = struct.unpack_from("<I", data, 28)[0]
            self.assertEqual((data[84:88], w, h, len(data)), (fourcc, head[0], head[1], size), (mod, case))
            if head[2]:
                self.assertEqual(mips, head[2], (mod, case))
            else:
                self.assertIn(mips, (0, 1), (mod, case))
            if mod == "CAMO":
                for ratio, want in written.items():
                    self.assertEqual(rec["written_by_ratio"][ratio], want, (case, ratio))
            else:
                self.assertEqual(rec["written"], written, (mod, case))
        for mod in ("MEM", "CAMO"):
            upper = [r["path"] for r in self.m["mods"][mod]["touch"] if r.get("case") == "upper_case_extension"]
            self.assertEqual(len(upper), 2, mod)
            self.assertTrue(all(p.endswith(".DDS") for p in upper), upper)
            self.assertEqual(sum(p.endswith("_hd.DDS") for p in upper), 1, upper)
        for mod, spec in self.m["mods"].items():
            self.assertEqual(spec["errors"], [], mod)

    def test_space_bin_limits(self):
        sb = self.m["mods"]["SpaceBin"]
        cases = {}
        for kind in ("touch", "leave"):
            for r in sb[kind]:
                if r.get("case"):
                    cases.setdefault(r["case"], []).append((kind, r))

        def data(r):
            return self.contents[r["package"]][r["path"]]
        for case, kind, size in (("size_2097152", "leave", 2097152), ("size_2097153", "touch", 2097153)):
            (k, r), = cases[case]
            self.assertEqual((k, len(data(r))), (kind, size), case)
        # The tag at byte 1000 is still found, at 1001 it is not; both rows lead to a whole BSMA.
        for case, kind, at in (("bsma_at_1000", "touch", 1000), ("bsma_at_1001", "leave", 1001)):
            (k, r), = cases[case]
            d = data(r)
            self.assertEqual((k, d.find(b"BSMA")), (kind, at), case)
            off, length = struct.unpack_from("<I", d, at + 8)[0], struct.unpack_from("<I", d, at + 16)[0]
            _, textures, _ = walk_bsma(d, off, length)
            self.assertTrue(any(n.startswith("content/") and n.endswith("_AM.dds") for n, _, _, _ in textures), case)
        # Two space.bin items above 2 MiB in one package: the first in item order is the patched one.
        pair = sorted(cases["two_space_bins"], key=lambda kr: kr[0] != "touch")
        self.assertEqual([k for k, _ in pair], ["touch", "leave"])
        items = [p for p in self.contents[pair[0][1]["package"]] if "space.bin" in p.lower()]
        self.assertEqual(items, [r["path"] for _, r in pair])
        self.assertTrue(all(len(data(r)) > 2097152 for _, r in pair))
        # An embedded texture whose chain was cut short outgrows its slot once given a full chain;
        # every other one fits its slot exactly.
        outgrow = [(r, t) for r in sb["touch"] for t in r["textures"] if not t["patched"]]
        self.assertEqual(len(outgrow), 1)
        r, t = outgrow[0]
        dds = data(r)[t["offset"]:t["offset"] + t["length"]]
        self.assertEqual((dds[84:88], struct.unpack_from("<II", dds, 12), struct.unpack_from("<I", dds, 28)[0]),
                         (b"DXT1", (64, 64), 3))
        self.assertEqual((t["length"], t["repainted_length"]), (2816, 2872))
        for rec in sb["touch"]:
            for x in rec["textures"]:
                if x is not t:
                    self.assertEqual((x["patched"], x["repainted_length"]), (True, x["length"]), x["name"])

    def test_space_bins_have_a_consistent_section_table_and_materials(self):
        sb = self.m["mods"]["SpaceBin"]
        recs = sb["touch"] + [dict(r, textures=None) for r in sb["leave"]]
        for rec in recs:
            data = self.contents[rec["package"]][rec["path"]]
            self.assertGreaterEqual(len(data), 2 * 1024 * 1024, rec["path"])
            self.assertEqual(len(data), rec["size"], rec["path"])
            rows = space_bin_rows(data)
            self.assertEqual(rows[0][0], "BWTB")
            table_end = data.find(b"BWTB") + 24 * len(rows)
            self.assertEqual(rows[0][2], table_end)
            self.assertEqual(rows[0][5], len(rows) - 1)
            pos = table_end
            for tag, ver, off, zero, length, last in rows[1:]:
                self.assertEqual((zero, last), (0, 0), tag)
                self.assertGreaterEqual(off, pos, tag)
                self.assertLessEqual(off + length, len(data), tag)
                pos = off + length
            bsma = [r for r in rows if r[0] == "BSMA"]
            self.assertEqual(len(bsma), 1)
            at = data.find(b"BSMA")
            self.assertEqual(at, rec["bsma_row"], rec["path"])
            self.assertEqual(struct.unpack_from("<I", data, at + 8)[0], bsma[0][2])
            self.assertEqual(struct.unpack_from("<I", data, at + 16)[0], bsma[0][4])
            vectors, textures, end = walk_bsma(data, bsma[0][2], bsma[0][4])
            self.assertEqual([v[0] for v in vectors], [20, 4, 12, 64, 16])
            self.assertLessEqual(end, bsma[0][2] + bsma[0][4])
            for name, off, length, mips in textures:
                with Image.open(io.BytesIO(data[off:off + length])) as im:
                    im.load()
                self.assertEqual(length, dds_expected_size(data[off:off + length]), name)
            if rec["textures"] is not None:
                planted = {(t["name"], t["offset"], t["length"]) for t in rec["textures"] + rec["left_textures"]}
                self.assertEqual(planted, {(n, o, l) for n, o, l, _ in textures})
                self.assertEqual(rec["bsma_offset"], bsma[0][2])
        self.assertTrue(any(r["reason"].startswith("no embedded texture") for r in sb["leave"]))
        kinds = {t["by"] for r in sb["touch"] for t in r["textures"]}
        self.assertEqual(kinds, {"MapTanks", "MapTrains"})

    def test_map_and_camouflage_selections(self):
        for mod, folder in (("MEM", "content/MilitaryEnvironment/"), ("CTM", "content/Railway/")):
            touch = self.m["mods"][mod]["touch"]
            self.assertTrue(all(r["path"].startswith(folder) for r in touch), mod)
            self.assertTrue(any(r["hd"] for r in touch) and any(not r["hd"] for r in touch), mod)
            self.assertTrue(all(r["size"] > 1024 for r in touch), mod)
            self.assertTrue(all("_ANM" not in r["path"] and "_GMM" not in r["path"] for r in touch), mod)
            for r in touch:
                self.assertEqual(r["hd"], r["path"].lower().endswith("_hd.dds"))
                self.assertEqual(r["hd"], self.m["packages"][r["package"]]["hd"])
        self.assertIn("rw007_TankWagon", " ".join(r["path"] for r in self.m["mods"]["CTM"]["touch"]))
        camo = self.m["mods"]["CAMO"]
        self.assertTrue(all("/Camouflage/" in r["path"] and r["size"] > 1024 for r in camo["touch"]))
        self.assertTrue(any(r["package"].startswith("vehicles_level") for r in camo["touch"]))
        self.assertEqual({r["format"] for r in camo["touch"]}, {"DXT1", "DXT5"})
        self.assertEqual({r["mipmaps"] > 1 for r in camo["touch"]}, {True, False})

    def test_same_seed_gives_identical_bytes_and_another_seed_differs(self):
        again = os.path.join(self.tmp, "b")
        run_gen(again, "--seed", "5")
        other = os.path.join(self.tmp, "c")
        run_gen(other, "--seed", "6")
        a, b, c = Path(self.out), Path(again), Path(other)
        files = sorted(p.relative_to(a) for p in a.rglob("*") if p.is_file())
        self.assertEqual(files, sorted(p.relative_to(b) for p in b.rglob("*") if p.is_file()))
        for rel in files:
            self.assertEqual((a / rel).read_bytes(), (b / rel).read_bytes(), str(rel))
        self.assertNotEqual((a / "manifest.json").read_bytes(), (c / "manifest.json").read_bytes())
        pkg = Path(self.m["client"]["folder"]) / "res" / "packages" / "vehicles_level_01.pkg"
        self.assertNotEqual((a / pkg).read_bytes(), (c / pkg).read_bytes())


class Variants(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="gen_client_")

    def tearDown(self):
        shutil.rmtree(self.tmp, ignore_errors=True)

    def test_lesta_common_test_without_game_info_win32_unlisted_deflated(self):
        out = os.path.join(self.tmp, "v")
        run_gen(out, "--lesta", "--common-test", "--no-game-info", "--win32-only", "--unlisted",
                "--deflate", "--vehicles", "2", "--texture-size", "32", "--mods-version", "1.45.0.1")
        m, client = load(out)
        c = m["client"]
        self.assertEqual(c["realm"], "RPT")
        self.assertTrue(c["is_common_test"])
        self.assertFalse(c["is_lesta"])  # without game_info.xml the client counts as Wargaming
        self.assertFalse((client / "game_info.xml").exists())
        self.assertIn("<version>\tv.1.45.0.0 Common Test #2290\t</version>", (client / "version.xml").read_text())
        self.assertTrue((client / "win32" / "WorldOfTanks.exe").is_file())
        self.assertFalse((client / "win64").exists())
        self.assertEqual(c["game_exe"], "win32/WorldOfTanks.exe")
        self.assertEqual(c["mods_dir"], "mods/1.45.0.1/")
        paths = (client / "paths.xml").read_text()
        self.assertIn("./mods/1.45.0.1<", paths)
        unlisted = c["packages_unlisted"]
        self.assertIn("vehicles_level_02.pkg", unlisted)
        self.assertIn("03_campania_big.pkg", unlisted)
        for name in unlisted:
            self.assertTrue((client / "res" / "packages" / name).is_file())
            self.assertNotIn("res/packages/" + name, paths.lower())
            self.assertNotIn(name, c["pkgs"] + c["vehicle_pkgs_with_hd"] + c["map_pkgs_with_hd"])
        for mod in ("DPT", "CCT", "CAMO", "MEM", "SpaceBin"):
            left = [r for r in m["mods"][mod]["leave"] if r["package"] in unlisted]
            self.assertTrue(left, mod)
            self.assertTrue(all(r["reason"] == "package not listed in paths.xml" for r in left), mod)
            self.assertFalse([r for r in m["mods"][mod]["touch"] if r["package"] in unlisted], mod)
        for name in m["packages"]:
            with zipfile.ZipFile(client / "res" / "packages" / name) as z:
                self.assertIsNone(z.testzip())
                files = [i for i in z.infolist() if not i.is_dir()]
                self.assertTrue(all(i.compress_type == zipfile.ZIP_DEFLATED for i in files), name)

    def test_executables_and_paths_xml_forms_of_wargaming_and_current_lesta_clients(self):
        tiny = ["--vehicles", "1", "--texture-size", "16", "--other-packages", "0", "--seed", "3"]
        base_out = os.path.join(self.tmp, "base")
        run_gen(base_out, *tiny)
        base, base_client = load(base_out)
        cases = [
            ((), "World_of_Tanks_EU", "EU", "new", "*.wotmod", ["WorldOfTanks.exe"], "win64"),
            (("--paths-form", "old", "--mask-case", "upper"), "World_of_Tanks_EU", "EU", "old", "*.WOTMOD",
             ["WorldOfTanks.exe"], "win64"),
            (("--tanki",), "Tanki_RU", "RU", "new", "*.mtmod", ["Tanki.exe"], "win64"),
            (("--tanki", "--paths-form", "old", "--mask-case", "upper", "--both-exes", "--common-test", "--win32-only"),
             "Tanki_RPT", "RPT", "old", "*.MTMOD", ["Tanki.exe", "WorldOfTanks.exe"], "win32"),
        ]
        for k, (args, folder, realm, form, mask, exes, exe_dir) in enumerate(cases):
            with self.subTest(args=args):
                out = os.path.join(self.tmp, "p%d" % k) if args else base_out
                if args:
                    run_gen(out, *(tiny + list(args)))
                m, client = load(out)
                c = m["client"]
                self.assertEqual((c["folder"], c["realm"], c["paths_form"], c["package_mask"]), (folder, realm, form, mask))
                self.assertEqual(c["package_ext"], mask[1:].lower())
                self.assertEqual(c["is_lesta"], "--tanki" in args)
                self.assertIn("<realm>\t%s\t</realm>" % realm, (client / "version.xml").read_text())
                # The manifest names exactly the executables on disk.
                on_disk = sorted(str(p.relative_to(client)) for p in client.rglob("*.exe"))
                self.assertEqual(sorted(c["client_exes"] + c["game_exes"]), on_disk)
                self.assertEqual(c["client_exes"], exes)
                self.assertEqual(c["game_exes"], [exe_dir + "/" + e for e in exes])
                self.assertEqual((c["client_exe"], c["game_exe"]), (exes[0], exe_dir + "/" + exes[0]))
                with open(client / c["game_exe"], "rb") as f:
                    head = f.read(1024)
                machine = struct.unpack_from("<H", head, struct.unpack_from("<I", head, 60)[0] + 4)[0]
                self.assertEqual(machine, 0x14C if exe_dir == "win32" else 0x8664)
                # paths.xml is well-formed in either form and names the folders the manifest gives.
                paths = ET.parse(client / "paths.xml").getroot().find("Paths")
                mods = [p for p in paths.findall("Path") if p.get("mask")]
                roots = [p for p in paths.findall("Packages") if p.find("Root") is not None]
                if form == "new":
                    self.assertEqual((len(mods), roots), (1, []))
                    self.assertEqual((mods[0].get("mask"), mods[0].get("mode"), mods[0].get("root")),
                                     (mask, "recursive", "res"))
                    mods_text = mods[0].text
                else:
                    self.assertEqual((mods, len(roots)), ([], 1))
                    self.assertEqual(roots[0].findtext("Mask"), mask)
                    self.assertEqual(roots[0].findall("Package"), [])
                    mods_text = roots[0].findtext("Root")
                self.assertEqual(mods_text, "./" + c["mods_dir"].rstrip("/"))
                self.assertIn("./" + c["res_mods_dir"].rstrip("/"), [p.text for p in paths.findall("Path")])
                for d in (c["mods_dir"], c["res_mods_dir"]):
                    self.assertTrue((client / d).is_dir(), d)
                listed = [p.text for p in paths.iter("Package")]
                self.assertEqual(sorted(listed), sorted("./res/packages/" + n for n in m["packages"]))
                # The variant changes only the root files: packages and what each mod must do are
                # those of the default client.
                self.assertEqual(m["mods"], base["mods"])
                for key in ("pkgs", "map_pkgs", "map_pkgs_with_hd", "vehicle_pkgs", "vehicle_pkgs_with_hd"):
                    self.assertEqual(c[key], base["client"][key], key)
                for name in m["packages"]:
                    self.assertEqual((client / "res" / "packages" / name).read_bytes(),
                                     (base_client / "res" / "packages" / name).read_bytes(), name)

    def test_refused_textures_and_bigger_camouflages_and_embedded_textures(self):
        out = os.path.join(self.tmp, "r")
        run_gen(out, "--refused-textures", "--vehicles", "1", "--texture-size", "16", "--other-packages", "0",
                "--camo-size", "128", "--embedded-texture-size", "32")
        m, client = load(out)
        pkgdir = client / "res" / "packages"
        failing = set()
        for mod in ("MEM", "CTM", "CAMO"):
            errors = m["mods"][mod]["errors"]
            self.assertEqual(sorted(e["format"] for e in errors), ["ATI2", "DX10", "DXT3", "RGBA"], mod)
            for e in errors:
                failing.add(e["package"])
                self.assertEqual(e["message_contains"], e["path"] + " - failed to repaint the texture!")
                with zipfile.ZipFile(pkgdir / e["package"]) as z:
                    order = [i.filename for i in z.infolist() if not i.is_dir()]
                    data = z.read(e["path"])
                pf_flags, fourcc, bits = struct.unpack_from("<I4sI", data, 80)
                if e["format"] == "RGBA":
                    self.assertEqual((pf_flags, fourcc, bits), (0x41, b"\0\0\0\0", 32))
                else:
                    self.assertEqual((pf_flags, fourcc.decode()), (4, e["format"]))
                if e["format"] == "DX10":
                    self.assertEqual(struct.unpack_from("<I", data, 128)[0], 71)  # BC1 behind the DX10 header
                self.assertEqual(len(data), dds_expected_size(data))
                self.assertGreater(len(data), 1024)
                # Written: the package's textures of this mod before the refused one; the ones after
                # it are never reached.
                at = order.index(e["path"])
                self.assertEqual([r["path"] for r in m["mods"][mod]["touch"] if r["package"] == e["package"]], e["written"])
                self.assertTrue(e["written"] and all(order.index(p) < at for p in e["written"]))
                after = [r["path"] for r in m["mods"][mod]["leave"]
                         if r["package"] == e["package"] and r["reason"].startswith("after a texture that fails")]
                self.assertTrue(after and all(order.index(p) > at for p in after), mod)
        self.assertTrue(failing <= set(m["client"]["map_pkgs"]) & set(m["client"]["vehicle_pkgs"]))
        # The map: a refused tank texture and a refused train texture right after a good one.
        (e,) = m["mods"]["SpaceBin"]["errors"]
        self.assertIn(e["package"], m["client"]["map_pkgs"])
        self.assertEqual({t["by"] for t in e["refused"]}, {"MapTanks", "MapTrains"})
        self.assertEqual(e["message_contains"], e["refused"][0]["name"] + " - failed to repaint the texture!")
        with zipfile.ZipFile(pkgdir / e["package"]) as z:
            data = z.read(e["path"])
        at = data.find(b"BSMA")
        _, textures, _ = walk_bsma(data, *struct.unpack_from("<IxxxxI", data, at + 8))
        names = [n for n, _, _, _ in textures]
        first = names.index(e["refused"][0]["name"])
        self.assertGreater(first, 0)
        self.assertIn(data[textures[first - 1][1] + 84:textures[first - 1][1] + 88], (b"DXT1", b"DXT5"))
        for t in e["refused"]:
            _, off, length, _ = textures[names.index(t["name"])]
            self.assertEqual(data[off + 84:off + 88], t["format"].encode())
        # Camouflages the size of the game's own, and embedded textures of the size asked for.
        camo = [r for r in m["mods"]["CAMO"]["touch"] if "case" not in r and r["package"] not in failing]
        self.assertEqual({(r["format"], r["width"], r["height"], r["mipmaps"]) for r in camo},
                         {("DXT5", 128, 128, 8), ("DXT5", 256, 256, 9)})
        embedded = [t for r in m["mods"]["SpaceBin"]["touch"] for t in r["textures"] if "case" not in t]
        self.assertEqual({t["height"] for t in embedded}, {32})

    def test_refuses_to_replace_a_folder_it_did_not_write(self):
        out = Path(self.tmp) / "x"
        (out / "World_of_Tanks_EU").mkdir(parents=True)
        (out / "World_of_Tanks_EU" / "keep.txt").write_text("mine")
        res = run_gen(out, "--force", check=False)
        self.assertEqual(res.returncode, 2)
        self.assertIn("not written by this generator", res.stderr)
        self.assertEqual((out / "World_of_Tanks_EU" / "keep.txt").read_text(), "mine")
        res = run_gen(out, check=False)
        self.assertEqual(res.returncode, 2)
        self.assertIn("--force", res.stderr)

    def test_force_replaces_its_own_client_whole(self):
        out = Path(self.tmp) / "f"
        run_gen(out, "--vehicles", "1", "--texture-size", "16", "--seed", "1")
        first = (out / "manifest.json").read_bytes()
        (out / "World_of_Tanks_EU" / "stale.txt").write_text("old")
        run_gen(out, "--vehicles", "1", "--texture-size", "16", "--seed", "2", "--force")
        self.assertNotEqual((out / "manifest.json").read_bytes(), first)
        self.assertFalse((out / "World_of_Tanks_EU" / "stale.txt").exists())
        self.assertEqual(sorted(p.name for p in out.iterdir()), ["World_of_Tanks_EU", "manifest.json"])

    def test_rejects_bad_option_values(self):
        for args in (["--maps", "1"], ["--texture-size", "100"], ["--space-bin-kib", "2048"],
                     ["--client-name", "../escape"], ["--version", "1.2;3"]):
            res = run_gen(os.path.join(self.tmp, "bad"), *args, check=False)
            self.assertEqual(res.returncode, 2, args)
            self.assertIn("error", res.stderr, args)
        self.assertFalse(os.path.exists(os.path.join(self.tmp, "bad", "World_of_Tanks_EU")))


if __name__ == "__main__":
    unittest.main()
