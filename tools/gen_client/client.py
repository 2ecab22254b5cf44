"""Writes one synthetic client folder and its manifest."""

import json
import os
import random
import shutil
import zlib

from . import FORMAT_VERSION, content, dxt, spacebin, visuals
from .packages import PackageWriter
from .profiles import LEVEL_CYCLE, PROFILES

TANK_CRASH = "vehicles/tank_crash.dds"
INSIDE_CRASH = "vehicles/inside_crash.dds"
TRACK_CRASH = "vehicles/track_crash.dds"

# Why a file is left alone; the manifest quotes these texts.
R_NORMAL = "normal-state model, not in a crash folder"
R_COLLISION = "collision model, not in a crash folder"
R_CHASSIS = "chassis model: the crashed-track mod's"
R_NOT_CHASSIS = "not a chassis model: the crashed-tank mod's"
R_SMALL_VISUAL = "600 bytes or smaller"
R_NOTHING = "nothing to rewrite: ordinary shader and no diffuseMap or excludeMaskAndAOMap texture"
R_NO_DIFFUSE = "no diffuseMap texture"
R_UNLISTED = "package not listed in paths.xml"
R_SMALL_DDS = "1024 bytes or smaller"
R_NOT_ALBEDO = "not an albedo texture: normal and gloss maps keep their own"
R_TRAIN = "a train or carriage: the trains mod's"
R_TANK = "a tank model: the map tanks mod's"
R_OTHER_MODEL = "neither a tank model nor a train"
R_TERRAIN = "map terrain texture"
R_NOT_MAP_PKG = "not counted as a map package: its name does not start with a digit"
R_NO_MATCH = "no embedded texture matches the map rules: no output file"
R_TRACK = "track model, not in a crash folder"
R_SB_SMALL = "2097152 bytes or smaller"
R_SB_NOT_FIRST = "not the first space.bin of the package: only the first is patched"
R_SB_NO_BSMA = "no BSMA row within the first 1000 bytes: no output file"
R_SB_REFUSED = "an embedded texture in a format the repaint refuses: the package reports an error, no output file"
R_REFUSED = "a format the repaint refuses: the package reports an error"
R_NOT_REACHED = "after a texture that fails to repaint: the package's scan ends before it"
R_OUTGROWS = "repainted with a full mipmap chain it outgrows its slot: the slot keeps its bytes"

REPAINT_FAILED = " - failed to repaint the texture!"
SPACE_BIN_MIN = 2097152


# Vehicle parts are closed once they pass this size, well below the 2 GiB the game's zip
# reading allows; a package that still grows past MAX_PACKAGE is an error.
PART_LIMIT = 1536 * 1024 * 1024
MAX_PACKAGE = 2 ** 31 - 1


class GenError(Exception):
    pass


def is_hd(name):
    low = name.lower()
    return "_hd.pkg" in low or "_hd-part" in low


def hd_name(path):
    """x.dds -> x_hd.dds; an upper-case X.DDS keeps its spelling: X_hd.DDS."""
    return path[:-4] + "_hd" + path[-4:]


def _block_bytes(fmt):
    return {"DXT1": 8, "DXT5": 16}[fmt]


def _chain_size(fmt, w, h, chain):
    return 128 + sum(((lw + 3) // 4) * ((lh + 3) // 4) * _block_bytes(fmt) for lw, lh in dxt.mip_dims(w, h, chain))


def repainted(fmt, w, h, mipmaps):
    """What the map repaint writes for a texture: sides below 4 raised to 4, the same format,
    a full chain when the source had any (mipmap count above 1), else level 0 only."""
    ww, hh = max(w, 4), max(h, 4)
    chain = mipmaps > 1
    return {"width": ww, "height": hh, "mipmaps": len(dxt.mip_dims(ww, hh, chain)),
            "size": _chain_size(fmt, ww, hh, chain)}


def translucent(fmt, w, h, mipmaps):
    """What the camouflage pass writes, per downsizing ratio (0 = none): sides divided by the
    ratio and raised to 16, chain as in repainted()."""
    out = {}
    for r in (0, 2, 4, 8):
        ww, hh = (w, h) if r == 0 else (max(16, w // r), max(16, h // r))
        chain = mipmaps > 1
        out[str(r)] = {"width": ww, "height": hh, "mipmaps": len(dxt.mip_dims(ww, hh, chain)),
                       "size": _chain_size(fmt, ww, hh, chain)}
    return out


def _colour(path):
    c = zlib.crc32(path.encode("latin-1"))
    return (c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF)


def _exe_stub(kind):
    head = bytearray(b"MZ" + bytes(58) + (128).to_bytes(4, "little"))
    head += b"\x0e\x1f\xba\x0e\x00\xb4\x09\xcd\x21\xb8\x01\x4c\xcd\x21"
    head += b"This program cannot be run in DOS mode.\r\r\n$"
    head = head.ljust(128, b"\x00") + b"PE\x00\x00"
    head += (0x8664 if kind == "win64" else 0x14C).to_bytes(2, "little")
    return bytes(head.ljust(1024, b"\x00"))


class Generator:
    def __init__(self, opts, client_dir):
        self.o = opts
        self.rng = random.Random(opts.seed)
        self.client_dir = client_dir
        self.pkg_dir = os.path.join(self.client_dir, "res", "packages")
        self.packages = {}  # name -> record
        self.mods = {k: {"touch": [], "leave": []} for k in ("DPT", "CCT", "MEM", "CTM", "SpaceBin", "CAMO")}
        self.unlisted = set()
        # Planted edge cases draw from their own generator, so the ordinary content stays as it
        # would be without them.
        self.edge_rng = random.Random(opts.seed * 1000003 + 17)
        self.errors = {k: [] for k in self.mods}

    # --- helpers ----------------------------------------------------------------------------

    def open_pkg(self, name, listed=True):
        if name in self.packages:
            raise GenError("package written twice: " + name)
        if not listed:
            self.unlisted.add(name)
        return PackageWriter(os.path.join(self.pkg_dir, name), self.o.deflate)

    def close_pkg(self, w):
        w.close()
        name = os.path.basename(w.path)
        if os.path.getsize(w.path) > MAX_PACKAGE:
            raise GenError("%s grew past 2 GiB; use fewer vehicles per level or smaller textures" % name)
        self.packages[name] = {
            "listed": name not in self.unlisted,
            "hd": is_hd(name),
            "entries": w.entries,
            "files": len(w.files),
            "size": os.path.getsize(w.path),
        }

    def texture(self, w, path, fmt, size, kind, chain=True, hd=None, cap=4096, rng=None):
        """Writes a texture and, with an HD writer, its `_hd` twin at twice the size. chain: True
        (full), False (level 0 only) or a number of levels."""
        rng = rng or self.rng
        v = rng.randrange(self.o.variants)
        style = 1 if rng.random() < 0.2 else 0
        tw, th = min(size[0], cap), min(size[1], cap)
        data = dxt.stamp(dxt.make_dds(fmt, tw, th, chain, kind, 1000 + v, style), fmt, _colour(path))
        w.add(path, data)
        rec = {"path": path, "size": len(data), "format": "DXT1" if fmt == dxt.DXT1 else "DXT5",
               "width": tw, "height": th, "mipmaps": len(dxt.mip_dims(tw, th, chain))}
        hd_rec = None
        if hd is not None:
            hw, hh = min(tw * 2, cap), min(th * 2, cap)
            hpath = hd_name(path)
            hdata = dxt.stamp(dxt.make_dds(fmt, hw, hh, chain, kind, 1000 + v, style), fmt, _colour(hpath))
            hd.add(hpath, hdata)
            hd_rec = dict(rec, path=hpath, size=len(hdata), width=hw, height=hh,
                          mipmaps=len(dxt.mip_dims(hw, hh, chain)))
        return rec, hd_rec

    def leave(self, mod, pkg, path, reason, **extra):
        self.mods[mod]["leave"].append(dict(package=pkg, path=path, reason=reason, **extra))

    # --- vehicles ---------------------------------------------------------------------------

    def vehicle(self, idx, nation, folder, short, sd, hd, listed):
        o = self.o
        nat = content.NATIONS[nation][0]
        base = "vehicles/%s/%s/" % (nat, folder)
        ts = o.texture_size
        inside_word = "Inside" if idx % 4 == 1 else "inside"
        turrets = ["Turret_01"] + (["Turret_02"] if self.rng.random() < 0.4 else [])
        guns = sorted("Gun_%02d" % g for g in self.rng.sample(range(1, 8), 1 + self.rng.randrange(2)))

        # Textures beside the models; HD twins go to the HD package.
        def tset(setname, sizes, maps):
            out = {}
            for suffix, fmt, kind, chain in maps:
                p = base + "%s_%s_%s.dds" % (short, setname, suffix)
                self.texture(sd, p, fmt, sizes, kind, chain, hd)
                out[suffix] = p
            return out

        full = [("AM", dxt.DXT1, "albedo", True), ("ANM", dxt.DXT5, "normal", True),
                ("GMM", dxt.DXT1, "gloss", True), ("AO", dxt.DXT1, "ao", False)]
        hull = tset("hull_01", (ts, ts), full)
        tur = {t: tset("turret_%s" % t[-2:], (ts, ts), full) for t in turrets}
        gun = {g: tset("gun_%s" % g[-2:], (ts // 2, ts // 2), full) for g in guns}
        chassis = tset("chassis_01", (ts, ts), full)
        track = tset("track_01", (ts // 2, ts), [("AM", dxt.DXT1, "cutout", True), ("ANM", dxt.DXT5, "normal", True)])
        inside = tset("%s_01" % inside_word, (ts // 2, ts // 2),
                      [("AM", dxt.DXT5, "soft", True), ("ANM", dxt.DXT5, "normal", True),
                       ("GMM", dxt.DXT1, "gloss", False), ("AO", dxt.DXT1, "ao", False)])

        def refs(t, keys=("AM", "ANM", "GMM", "AO")):
            names = {"AM": "diffuseMap", "ANM": "normalMap", "GMM": "metallicGlossMap", "AO": "excludeMaskAndAOMap"}
            return [(names[k], t[k]) for k in keys if k in t]

        parts = [("Hull", "hull", [("hull_outer", refs(hull)), ("hull_inside", refs(inside))])]
        parts.append(("Chassis", "chassis", [("track", refs(track)), ("wheels", refs(chassis))]))
        for t in turrets:
            parts.append((t, "turret", [("turret_outer", refs(tur[t])), ("turret_inside", refs(inside))]))
        for g in guns:
            parts.append((g, "gun", [("gun_outer", refs(gun[g])), ("gun_inside", refs(inside))]))

        # Planted edge cases, each on one vehicle of the listed set.
        special = {}
        n = o.vehicles
        if listed:
            gun1 = gun[guns[0]]
            if idx == 0:
                special["Gun_09"] = ("compact", 600, "gun", [("gun_outer", refs(gun1, ("AM", "ANM")))])
            if idx == min(1, n - 1):
                special["Gun_08"] = ("compact", 601, "gun", [("gun_outer", refs(gun1, ("AM", "ANM")))])
            if n >= 2 and idx == min(2, n - 1):
                # Never on the only vehicle, so every client keeps a chassis to rewrite.
                special["Chassis"] = ("compact", 560, "chassis", [("track", refs(track))])
            if idx == min(3, n - 1):
                special["Turret_03"] = ("plain", None, "turret", [("turret_outer", refs(tur[turrets[0]], ("ANM", "GMM")))])
        for name, (_, _, kind, mats) in special.items():
            if name not in [p[0] for p in parts]:
                parts.append((name, kind, mats))

        # The first listed vehicle also carries what real clients have beside the plain layout:
        # more detail levels, client collision models, track segments and a texture reference
        # whose length no longer fits the low byte of its descriptor.
        edge = listed and idx == 0
        pkg = os.path.basename(sd.path)
        long_path = None
        if edge:
            long_path = long_texture_path(base, short)
            self.texture(sd, long_path, dxt.DXT1, (ts, ts), "albedo", True, hd, rng=self.edge_rng)

        for name, kind, mats in parts:
            lods = ["lod0"] + (["lod1", "lod2"] if edge and name not in special else [])
            for state in ("normal", "crash"):
                for lod in lods:
                    fx = visuals.CRASH_FX if state == "crash" else visuals.TANK_FX
                    spec = special.get(name) if state == "crash" and lod == "lod0" else None
                    if spec and spec[0] == "plain":
                        fx = visuals.TANK_FX
                    m3 = [(ident, fx, r) for ident, r in (spec[3] if spec else mats)]
                    case = "lod" if lod != "lod0" else None
                    if edge and name == "Hull" and state == "crash" and lod == "lod0":
                        m3 = [(i, f, [(p, long_path if t == hull["AM"] else t) for p, t in r]) for i, f, r in m3]
                        case = "long_reference"
                    compact = bool(spec and spec[0] == "compact")
                    data = visuals.visual_bytes(name, m3, compact=compact, size=spec[1] if spec else None,
                                                long_ok=case == "long_reference")
                    stem = base + "%s/%s/%s" % (state, lod, name)
                    vpath = stem + ".visual_processed"
                    sd.add(stem + ".model", visuals.model_bytes(stem))
                    sd.add(vpath, data)
                    sd.add(stem + ".primitives_processed", visuals.primitives_bytes(zlib.crc32(vpath.encode())))
                    self.record_visual(pkg, vpath, kind, state, fx, m3, len(data), listed, case)
            for cfolder in ["collision"] + (["collision_client"] if edge else []):
                cpath = base + "%s/%s.visual_processed" % (cfolder, name)
                sd.add(base + "%s/%s.model" % (cfolder, name), visuals.model_bytes(base + cfolder + "/" + name))
                cdata = visuals.visual_bytes(name, [("collision", "shaders/std_effects/lightonly.fx", [])])
                sd.add(cpath, cdata)
                sd.add(base + "%s/%s.primitives_processed" % (cfolder, name), visuals.primitives_bytes(idx))
                extra = {"case": "collision_client"} if cfolder != "collision" else {}
                for mod in ("DPT", "CCT"):
                    self.leave(mod, pkg, cpath, R_UNLISTED if not listed else R_COLLISION, **extra)

        if edge:
            # Track segments: the part kinds count "segment" as a turret, so a crash-folder one is
            # the crashed-tank mod's, inside texture included; the plain track folder is nobody's.
            seg = [("segment", refs(track, ("AM", "ANM"))), ("segment_inside", refs(inside, ("AM",)))]
            for state, folder, fx, case in (("track", "track", visuals.TANK_FX, "track_folder"),
                                             ("crash", "crash/track", visuals.CRASH_FX, "segment")):
                stem = base + folder + "/Segment"
                m3 = [(ident, fx, r) for ident, r in seg]
                data = visuals.visual_bytes("Segment", m3)
                sd.add(stem + ".model", visuals.model_bytes(stem))
                sd.add(stem + ".visual_processed", data)
                sd.add(stem + ".primitives_processed", visuals.primitives_bytes(zlib.crc32(stem.encode())))
                self.record_visual(pkg, stem + ".visual_processed", "turret", state, fx, m3, len(data), listed, case)

    def record_visual(self, pkg, path, kind, state, fx, materials, size, listed, case=None):
        refs = [(p, t) for _, _, r in materials for p, t in r]
        extra = {"case": case} if case else {}
        for mod in ("DPT", "CCT"):
            if not listed:
                self.leave(mod, pkg, path, R_UNLISTED, **extra)
                continue
            if state != "crash":
                self.leave(mod, pkg, path, R_TRACK if state == "track" else R_NORMAL, **extra)
                continue
            if mod == "DPT" and kind == "chassis":
                self.leave(mod, pkg, path, R_CHASSIS, **extra)
                continue
            if mod == "CCT" and kind != "chassis":
                self.leave(mod, pkg, path, R_NOT_CHASSIS, **extra)
                continue
            if size <= 600:
                self.leave(mod, pkg, path, R_SMALL_VISUAL, size=size, **extra)
                continue
            if mod == "DPT":
                out = []
                for prop, tex in refs:
                    out.append({"property": prop, "path": tex, "length": len(prop) + len(tex),
                                "becomes": dpt_becomes(kind, prop, tex, False),
                                "becomes_remove_shadows": dpt_becomes(kind, prop, tex, True)})
                shader = fx == visuals.CRASH_FX
                if not shader and not any(r["becomes"] or r["becomes_remove_shadows"] for r in out):
                    self.leave(mod, pkg, path, R_NOTHING, size=size, **extra)
                    continue
                written = shader or any(r["becomes"] for r in out)
                self.mods[mod]["touch"].append(dict({
                    "package": pkg, "path": path, "part": kind, "size": size, "shader": shader,
                    "written": "always" if written else "remove_shadows_only", "references": out}, **extra))
            else:
                out = [{"property": p, "path": t, "length": len(p) + len(t),
                        "becomes": TRACK_CRASH if p == "diffuseMap" else None} for p, t in refs]
                if not any(r["becomes"] for r in out):
                    self.leave(mod, pkg, path, R_NO_DIFFUSE, size=size, **extra)
                    continue
                self.mods[mod]["touch"].append(dict({"package": pkg, "path": path, "part": kind,
                                                     "size": size, "references": out}, **extra))

    def camouflages(self, nation, sd, hd, listed, count, extra_name=None):
        code = content.NATIONS[nation][2]
        names = ["Katukov", "Forest", "Desert", "Winter", "Urban", "Summer", "Autumn", "Swamp", "Steppe", "Coast"]
        ts = self.o.texture_size
        kinds = [(dxt.DXT1, "albedo", True, (ts * 2, ts * 2)), (dxt.DXT1, "cutout", False, (ts * 2, ts)),
                 (dxt.DXT5, "soft", True, (ts, ts)), (dxt.DXT5, "albedo", False, (ts * 4, ts * 2))]
        extra = (dxt.DXT1, "albedo", True, (ts, ts))
        if self.o.camo_size:
            # Camouflages the size of the game's own: square DXT5 with full chains.
            cs = self.o.camo_size
            kinds = [(dxt.DXT5, "soft", True, (cs, cs)), (dxt.DXT5, "albedo", True, (cs, cs))]
            extra = kinds[0]
        todo = []
        for i in range(count):
            fmt, kind, chain, size = kinds[(i + nation) % len(kinds)]
            nm = "C%s_%d_%d%s.dds" % (code, 1 + i // 3, 1 + i % 3, names[(i + nation) % len(names)])
            todo.append((nm, fmt, kind, chain, size))
        if extra_name:
            todo.append((extra_name,) + extra)
        for nm, fmt, kind, chain, size in todo:
            self.camouflage(nation, nm, fmt, kind, chain, size, sd, hd, listed)
        return todo

    def camouflage(self, nation, nm, fmt, kind, chain, size, sd, hd, listed, case=None, rng=None, reason=None):
        path = "vehicles/%s/Camouflage/%s" % (content.NATIONS[nation][0], nm)
        rec, hrec = self.texture(sd, path, fmt, size, kind, chain, hd, rng=rng)
        pairs = [(os.path.basename(sd.path), rec, False)]
        if hd is not None:
            pairs.append((os.path.basename(hd.path), hrec, True))
        extra = {"case": case} if case else {}
        for p, r, is_hd_pkg in pairs:
            if not listed:
                self.leave("CAMO", p, r["path"], R_UNLISTED, **extra)
            elif r["size"] <= 1024:
                self.leave("CAMO", p, r["path"], R_SMALL_DDS, size=r["size"], **extra)
            elif reason:
                self.leave("CAMO", p, r["path"], reason, size=r["size"], **extra)
            else:
                self.mods["CAMO"]["touch"].append(dict(
                    r, package=p, hd=is_hd_pkg,
                    written_by_ratio=translucent(r["format"], r["width"], r["height"], r["mipmaps"]), **extra))
        return rec, hrec

    # --- shared content and maps ------------------------------------------------------------

    def map_model(self, folder, name, kind, suffixes, sd, hd, listed, tiny=False, shape=None, case=None, rng=None):
        """A model placed on maps with its textures. shape (format, size, chain, extension)
        replaces the usual textures for planted cases."""
        ts = self.o.texture_size
        base = "%s/%s/" % (folder, name)
        tex = []
        for s in suffixes:
            fmt = dxt.DXT5 if s == "_ANM" else dxt.DXT1
            k = "normal" if s == "_ANM" else "gloss" if s == "_GMM" else "albedo"
            size = (16, 16) if tiny else (ts, ts)
            chain, ext = True, ".dds"
            if shape:
                fmt, size, chain, ext = shape
            rec, hrec = self.texture(sd, base + name + s + ext, fmt, size, k, chain, hd, rng=rng)
            tex.append((s, rec, hrec))
        if not tiny:
            vis = [(name.lower(), visuals.MAP_FX,
                    [("diffuseMap" if s in content.ALBEDO_SUFFIXES else "normalMap" if s == "_ANM" else "metallicGlossMap",
                      rec["path"]) for s, rec, _ in tex])]
            sd.add(base + name + ".model", visuals.model_bytes(base + name))
            sd.add(base + name + ".visual_processed", visuals.visual_bytes(name, vis))
            sd.add(base + name + ".primitives_processed", visuals.primitives_bytes(zlib.crc32(name.encode())))
        pkg, hpkg = os.path.basename(sd.path), os.path.basename(hd.path)
        for s, rec, hrec in tex:
            for p, r in ((pkg, rec), (hpkg, hrec)):
                self.record_map_texture(kind, s, listed, p, r, p == hpkg, case)
        return [(s, rec) for s, rec, _ in tex]

    def record_map_texture(self, kind, suffix, listed, pkg, r, hd, case=None, reason=None):
        """Touch or leave records of one texture for the map tanks and map trains mods."""
        extra = {"case": case} if case else {}
        for mod, mine in (("MEM", "tank"), ("CTM", "train")):
            if not listed:
                why = R_UNLISTED
            elif kind != mine:
                why = R_TRAIN if kind == "train" else R_TANK if kind == "tank" else R_OTHER_MODEL
            elif r["size"] <= 1024:
                why = R_SMALL_DDS
            elif suffix not in content.ALBEDO_SUFFIXES:
                why = R_NOT_ALBEDO
            elif reason:
                why = reason
            else:
                self.mods[mod]["touch"].append(dict(
                    r, package=pkg, hd=hd, written=repainted(r["format"], r["width"], r["height"], r["mipmaps"]),
                    **extra))
                continue
            self.leave(mod, pkg, r["path"], why, size=r["size"], format=r["format"], **extra)

    def space_bin_textures(self, map_name, with_match, extra=(), size=None):
        """Embedded textures of one map: dicts of name, dds, mips, fourcc, width, height and by
        ("MapTanks", "MapTrains" or None). extra (the same dicts) go right after the first
        texture a rule selects, so that one good texture always comes before them."""
        ts = size or self.o.embedded_texture_size or max(16, self.o.texture_size // 2)
        out = []
        models = [m for m in content.MAP_MODELS]
        start = zlib.crc32(map_name.encode()) % len(models)
        picked = [models[(start + k) % len(models)] for k in range(6)]
        for folder, name, kind, suffixes in picked:
            for s in suffixes[:2]:
                by = None
                if s in content.ALBEDO_SUFFIXES and kind == "tank":
                    by = "MapTanks"
                elif s in content.ALBEDO_SUFFIXES and kind == "train":
                    by = "MapTrains"
                if by and not with_match:
                    continue
                out.append(("%s/%s/%s%s.dds" % (folder, name, name, s), by, s))
        # A map that carries matches holds both kinds, so either colour alone patches it.
        if with_match and not any(b == "MapTanks" for _, b, _ in out):
            out.append(("content/MilitaryEnvironment/mleSU_80_01_T34/mleSU_80_01_T34_AM.dds", "MapTanks", "_AM"))
        if with_match and not any(b == "MapTrains" for _, b, _ in out):
            out.append(("content/Railway/rw004_Carriage/rw004_Carriage_AM.dds", "MapTrains", "_AM"))
        out.append(("spaces/%s/terrain/global_AM.dds" % map_name, None, "_AM"))
        res = []
        for i, (name, by, s) in enumerate(out):
            fmt = dxt.DXT5 if (s == "_ANM" or i % 3 == 2) else dxt.DXT1
            chain = i % 4 != 3
            w, h = (ts, ts) if i % 2 == 0 else (ts * 2, ts)
            dds = dxt.stamp(dxt.make_dds(fmt, w, h, chain, "normal" if s == "_ANM" else "albedo",
                                         2000 + self.rng.randrange(self.o.variants)), fmt, _colour(map_name + name))
            res.append({"name": name, "dds": dds, "mips": len(dxt.mip_dims(w, h, chain)),
                        "fourcc": dxt.FOURCC[fmt], "width": w, "height": h, "by": by})
        at = next((k + 1 for k, t in enumerate(res) if t["by"]), len(res))
        return res[:at] + list(extra) + res[at:]

    def map_package(self, map_name, listed, with_match=True, min_size=None, exact_size=None, preamble=0,
                    spaces=None, extra=(), case=None, embedded_size=None):
        """A map package: its space.bin (one per name in spaces; the first gets the extra embedded
        textures), settings, terrain chunks and terrain texture, and the HD package of the latter."""
        name = map_name + ".pkg"
        w = self.open_pkg(name, listed)
        built = []
        for k, space in enumerate(spaces or [map_name]):
            texs = self.space_bin_textures(space, with_match, extra if k == 0 else (), embedded_size)
            data, facts = spacebin.build(self.rng, [(t["name"], t["dds"], t["mips"], t["fourcc"]) for t in texs],
                                         min_size or self.o.space_bin_kib * 1024, space, exact_size, preamble)
            sb_path = "spaces/%s/space.bin" % space
            w.add(sb_path, data)
            built.append((sb_path, texs, facts))
        w.add("spaces/%s/space.settings" % map_name, (
            "<space.settings>\r\n\t<bounds>\t-5 -5 4 4\t</bounds>\r\n\t<chunkSize>\t100.0\t</chunkSize>\r\n"
            "\t<terrain>\tspaces/%s/terrain2\t</terrain>\r\n</space.settings>\r\n" % map_name).encode())
        for k in range(4):
            w.add("spaces/%s/%04x%04xo.cdata_processed" % (map_name, 0xFFFB + k, 0xFFFC),
                  self.rng.randbytes(2048 + 512 * k))
        hdw = self.open_pkg(map_name + "_hd.pkg", listed)
        trec, threc = self.texture(w, "spaces/%s/terrain/global_AM.dds" % map_name, dxt.DXT1,
                                   (self.o.texture_size, self.o.texture_size), "albedo", True, hdw)
        for mod in ("MEM", "CTM"):
            for p, r in ((name, trec), (map_name + "_hd.pkg", threc)):
                self.leave(mod, p, r["path"], R_UNLISTED if not listed else R_TERRAIN)
        self.close_pkg(w)
        self.close_pkg(hdw)

        # The worker handles only the first space.bin item above 2 MiB.
        handled = next((k for k, (_, _, f) in enumerate(built) if f["size"] > SPACE_BIN_MIN), None)
        recs = []
        for k, (sb_path, texs, facts) in enumerate(built):
            embedded = []
            for t, (off, length) in zip(texs, facts["texture_offsets"]):
                e = {"name": t["name"], "by": t["by"], "offset": off, "length": length,
                     "format": t["fourcc"].decode(), "mipmaps": t["mips"], "width": t["width"], "height": t["height"]}
                if t.get("case"):
                    e["case"] = t["case"]
                if t["by"] and e["format"] in ("DXT1", "DXT5"):
                    e["repainted_length"] = repainted(e["format"], t["width"], t["height"], t["mips"])["size"]
                    e["patched"] = e["repainted_length"] <= length
                    if not e["patched"]:
                        e["note"] = R_OUTGROWS
                embedded.append(e)
            refused = [e for e in embedded if e["by"] and "patched" not in e]
            rec = {"package": name, "path": sb_path, "size": facts["size"], "bsma_row": facts["bsma_row"],
                   "bsma_offset": facts["bsma_offset"], "bsma_length": facts["bsma_length"],
                   "textures": [e for e in embedded if e["by"]],
                   "left_textures": [dict(e, reason="no map rule selects it") for e in embedded if not e["by"]]}
            if case:
                rec["case"] = case
            brief = {"size": facts["size"], "bsma_row": facts["bsma_row"]}
            if case:
                brief["case"] = case
            if not listed:
                self.leave("SpaceBin", name, sb_path, R_UNLISTED, **brief)
            elif not map_name[0].isdigit():
                self.leave("SpaceBin", name, sb_path, R_NOT_MAP_PKG, **brief)
            elif facts["size"] <= SPACE_BIN_MIN:
                self.leave("SpaceBin", name, sb_path, R_SB_SMALL, **brief)
            elif k != handled:
                self.leave("SpaceBin", name, sb_path, R_SB_NOT_FIRST, **brief)
            elif facts["bsma_row"] > 1000:
                self.leave("SpaceBin", name, sb_path, R_SB_NO_BSMA, **brief)
            elif refused:
                self.leave("SpaceBin", name, sb_path, R_SB_REFUSED, **brief)
                # Which refused texture stops the package depends on the colours set: the first
                # one whose rules are in use.
                self.errors["SpaceBin"].append({
                    "package": name, "path": sb_path, "message_contains": refused[0]["name"] + REPAINT_FAILED,
                    "refused": [{"name": e["name"], "by": e["by"], "format": e["format"],
                                 "message_contains": e["name"] + REPAINT_FAILED} for e in refused],
                    "written": []})
            elif not rec["textures"]:
                self.leave("SpaceBin", name, sb_path, R_NO_MATCH, **brief)
            else:
                for by in {e["by"] for e in rec["textures"]}:
                    if not any(e["patched"] for e in rec["textures"] if e["by"] == by):
                        raise GenError("%s: no %s texture fits its slot" % (sb_path, by))
                self.mods["SpaceBin"]["touch"].append(rec)
            recs.append(rec)
        return recs

    # --- planted edge cases -------------------------------------------------------------------

    def edge_shared(self, sd, hd, nation):
        """Map model textures and camouflages in the shapes the repaint must cope with: a chain
        cut short, sides below 4 or not multiples of 4, an upper-case extension."""
        for folder, name, kind, shape, case in EDGE_MAP_MODELS:
            self.map_model(folder, name, kind, ["_AM"], sd, hd, True, shape=shape, case=case, rng=self.edge_rng)
        code = content.NATIONS[nation][2]
        for nm, fmt, kind, chain, size, case in EDGE_CAMOUFLAGES:
            self.camouflage(nation, nm % code, fmt, kind, chain, size, sd, hd, True, case=case, rng=self.edge_rng)

    def outgrowing_texture(self):
        """An embedded tank texture with a three-level chain: repainted with a full chain it is
        longer than its slot."""
        name = "content/MilitaryEnvironment/mleSU_80_04_SU85/mleSU_80_04_SU85_AM.dds"
        dds = dxt.stamp(dxt.make_dds(dxt.DXT1, 64, 64, 3, "albedo", 2000 + self.edge_rng.randrange(self.o.variants)),
                        dxt.DXT1, _colour(name))
        return [{"name": name, "dds": dds, "mips": 3, "fourcc": b"DXT1", "width": 64, "height": 64,
                 "by": "MapTanks", "case": "partial_chain"}]

    def edge_maps(self):
        """Map packages at the space.bin worker's limits: sizes at and just above 2 MiB, two
        space.bin items in one package, the BSMA row at byte 1000 and at byte 1001."""
        small = SPACE_BIN_MIN + 4096
        row = spacebin.BSMA_ROW
        # Small embedded textures whatever the options, so that 2 MiB always holds them.
        self.map_package("39_crimea", True, exact_size=SPACE_BIN_MIN, case="size_2097152", embedded_size=32)
        self.map_package("51_asia", True, exact_size=SPACE_BIN_MIN + 1, case="size_2097153", embedded_size=32)
        self.map_package("59_asia_great_wall", True, min_size=small, case="two_space_bins", embedded_size=32,
                         spaces=["59_asia_great_wall", "59_asia_great_wall_ctf"])
        self.map_package("69_mines", True, min_size=small, preamble=1000 - row, case="bsma_at_1000", embedded_size=32)
        self.map_package("100_thepit", True, min_size=small, preamble=1001 - row, case="bsma_at_1001",
                         embedded_size=32)

    def refused_package(self, k, fmt, nation):
        """A shared content package holding, for each texture mod, a good texture, one in a
        format the repaint refuses, and a good one after it that the failed scan never reaches."""
        name = "shared_content-part%d.pkg" % (self.o.shared_parts + 1 + k)
        w = self.open_pkg(name)
        tanks, trains, camos = REFUSED_NAMES[k]
        code = content.NATIONS[nation][2]
        good = {}
        # Good textures first, then the refused ones, then the ones never reached.
        for stage in ("good", "refused", "after"):
            i = ("good", "refused", "after").index(stage)
            for kind, folder, model in (("tank", "content/MilitaryEnvironment", tanks[i]),
                                        ("train", "content/Railway", trains[i])):
                path = "%s/%s/%s_AM.dds" % (folder, model, model)
                mod = "MEM" if kind == "tank" else "CTM"
                if stage == "refused":
                    self.refused_texture(w, name, path, fmt, k, [mod], good.get(mod, []))
                    for other in ("MEM", "CTM"):
                        if other != mod:
                            self.leave(other, name, path, R_TANK if kind == "tank" else R_TRAIN,
                                       size=w.files[-1][1], format=fmt)
                    continue
                rec, _ = self.texture(w, path, dxt.DXT1, (64, 64), "albedo", True, None, rng=self.edge_rng)
                self.record_map_texture(kind, "_AM", True, name, rec, False,
                                        case="after_refused" if stage == "after" else None,
                                        reason=R_NOT_REACHED if stage == "after" else None)
                if stage == "good":
                    good.setdefault(mod, []).append(path)
            nm = "C%s_%d_%d%s.dds" % (code, 11 + k, 1 + i, camos[i])
            path = "vehicles/%s/Camouflage/%s" % (content.NATIONS[nation][0], nm)
            if stage == "refused":
                self.refused_texture(w, name, path, fmt, k, ["CAMO"], good.get("CAMO", []))
                continue
            self.camouflage(nation, nm, dxt.DXT5, "soft", True, (64, 64), w, None, True, rng=self.edge_rng,
                            case="after_refused" if stage == "after" else None,
                            reason=R_NOT_REACHED if stage == "after" else None)
            if stage == "good":
                good.setdefault("CAMO", []).append(path)
        self.close_pkg(w)

    def refused_texture(self, w, pkg, path, fmt, seed, mods, written):
        data = dxt.refused_dds(fmt, 64, 64, 3000 + seed)
        w.add(path, data)
        for mod in mods:
            self.leave(mod, pkg, path, R_REFUSED, size=len(data), format=fmt, case="refused_format")
            self.errors[mod].append({"package": pkg, "path": path, "format": fmt,
                                     "message_contains": path + REPAINT_FAILED, "written": list(written)})

    def refused_map(self):
        """A map whose space.bin embeds a refused tank texture and a refused train texture right
        after its first good one, so that either colour alone meets one."""
        extra = []
        for fmt, by, name in (("DXT3", "MapTanks", "content/MilitaryEnvironment/mleGE_80_41_Tiger_II/mleGE_80_41_Tiger_II_AM.dds"),
                              ("ATI2", "MapTrains", "content/Railway/rw051_Tender/rw051_Tender_AM.dds")):
            extra.append({"name": name, "dds": dxt.refused_dds(fmt, 64, 64, 3100 + len(extra)), "mips": 1,
                          "fourcc": fmt.encode(), "width": 64, "height": 64, "by": by, "case": "refused_format"})
        self.map_package("102_deathvalley", True, min_size=SPACE_BIN_MIN + 4096, extra=extra, case="refused_format")

    def other_package(self, name):
        w = self.open_pkg(name)
        stem = name[:-4].split("-")[0]
        for k in range(3 + self.rng.randrange(4)):
            if stem == "scripts":
                path = "scripts/client/gui/module_%02d.pyc" % k
            elif stem == "gui":
                path = "gui/flash/screen_%s_%02d.swf" % (name[-5], k)
            else:
                path = "%s/common/item_%02d.xml" % (stem, k)
            w.add(path, self.rng.randbytes(1024 + self.rng.randrange(4096)))
        if stem == "gui":
            ts = self.o.texture_size
            self.texture(w, "gui/maps/icons/map/screen_%s_AM.dds" % name[-5], dxt.DXT5, (ts, ts), "soft")
        self.close_pkg(w)

    # --- root files -------------------------------------------------------------------------

    def root_files(self):
        o = self.o
        d = self.client_dir
        os.makedirs(self.pkg_dir)
        exe_dir = self.exe_dir()
        os.makedirs(os.path.join(d, exe_dir))
        for exe in self.exe_names():
            with open(os.path.join(d, exe), "wb") as f:
                f.write(_exe_stub("launcher"))
            with open(os.path.join(d, exe_dir, exe), "wb") as f:
                f.write(_exe_stub(exe_dir))
        for top in ("res_mods", "mods"):
            os.makedirs(os.path.join(d, top, o.mods_version))
        with open(os.path.join(d, "version.xml"), "wb") as f:
            f.write(("<version.xml>\r\n\t<appname>\tWoT\t</appname>\r\n\t<version>\t%s\t</version>\r\n"
                     "\t<meta>\r\n\t\t<localization>\t%s\t</localization>\r\n\t\t<realm>\t%s\t</realm>\r\n"
                     "\t</meta>\r\n</version.xml>\r\n" % (self.version_text(), "RU" if o.lesta else "EN",
                                                        o.realm)).encode())
        if not o.no_game_info:
            pub = "lesta" if o.lesta else "wargaming"
            with open(os.path.join(d, "game_info.xml"), "wb") as f:
                f.write(('<?xml version="1.0" encoding="utf-8"?>\r\n'
                         '<protocol name="game_info" version="2.16" wgc_publisher_id="%s">\r\n'
                         '\t<game>\r\n\t\t<id>WOT.%s.PRODUCTION</id>\r\n\t\t<localization>%s</localization>\r\n'
                         '\t\t<part_id>client</part_id>\r\n\t\t<version_name>%s</version_name>\r\n'
                         '\t</game>\r\n</protocol>\r\n' % (pub, o.realm, "ru_RU" if o.lesta else "en_US",
                                                           o.version)).encode())

    def exe_dir(self):
        return "win32" if self.o.win32_only else "win64"

    def exe_names(self):
        """The client's own executable first, then the other one when both are written."""
        own = "Tanki.exe" if self.o.tanki else "WorldOfTanks.exe"
        if not self.o.both_exes:
            return [own]
        return [own] + [n for n in ("WorldOfTanks.exe", "Tanki.exe") if n != own]

    def package_ext(self):
        return ".mtmod" if self.o.tanki else ".wotmod"

    def package_mask(self):
        mask = "*" + self.package_ext()
        return mask.upper() if self.o.mask_case == "upper" else mask

    def version_text(self):
        o = self.o
        return "v.%s %s#%s" % (o.version, "Common Test " if o.common_test else "", o.build)

    def paths_xml(self):
        o = self.o
        mask = self.package_mask()
        lines = ["<root>", "\t<Paths>"]
        if o.paths_form == "new":
            lines += ['\t\t<Path cacheSubdirs="true">./res_mods/%s</Path>' % o.mods_version,
                      '\t\t<Path mask="%s" mode="recursive" root="res">./mods/%s</Path>' % (mask, o.mods_version)]
        else:
            # The older form names the mods folder and its mask in a Packages element of its own.
            lines += ["\t\t<Path>./res_mods/%s</Path>" % o.mods_version,
                      "\t\t<Packages>", "\t\t\t<Root>./mods/%s</Root>" % o.mods_version,
                      "\t\t\t<Mask>%s</Mask>" % mask, "\t\t</Packages>"]
        lines.append("\t\t<Packages>")
        for name in sorted(self.packages):
            if name in self.unlisted:
                continue
            lines.append('\t\t\t<Package type="%s">./res/packages/%s</Package>' % ("hd" if is_hd(name) else "sd,hd", name))
        lines += ["\t\t</Packages>", "\t\t<Path>./res</Path>", "\t</Paths>", "</root>", ""]
        with open(os.path.join(self.client_dir, "paths.xml"), "wb") as f:
            f.write("\r\n".join(lines).encode())

    # --- run --------------------------------------------------------------------------------

    def run(self):
        o = self.o
        self.root_files()
        names = content.vehicle_names(self.rng, o.vehicles)
        levels = {}
        for i, v in enumerate(names):
            levels.setdefault(LEVEL_CYCLE[i % len(LEVEL_CYCLE)], []).append((i, v))
        for level in sorted(levels):
            part, sd, hd, in_part = 0, None, None, 0
            for i, (nation, folder, short) in levels[level]:
                # Levels 5 and up are split into parts by vehicle count, and before any part
                # would pass the size the game's packages stay under.
                full = sd is not None and level >= 5 and (
                    in_part >= o.vehicles_per_part or max(sd.written(), hd.written()) > PART_LIMIT)
                if sd is None or full:
                    if sd is not None:
                        self.close_pkg(sd)
                        self.close_pkg(hd)
                    part += 1
                    in_part = 0
                    if level < 5:
                        sdn, hdn = "vehicles_level_%02d.pkg" % level, "vehicles_level_%02d_hd.pkg" % level
                    else:
                        sdn = "vehicles_level_%02d-part%d.pkg" % (level, part)
                        hdn = "vehicles_level_%02d_hd-part%d.pkg" % (level, part)
                    sd, hd = self.open_pkg(sdn), self.open_pkg(hdn)
                self.vehicle(i, nation, folder, short, sd, hd, True)
                in_part += 1
                if i == 0:
                    # A camouflage kept in a vehicle package rather than in shared content.
                    self.camouflages(nation, sd, hd, True, 0, "C%s_9_9Battle.dds" % content.NATIONS[nation][2])
            self.close_pkg(sd)
            self.close_pkg(hd)

        if o.unlisted:
            sd, hd = self.open_pkg(content.UNLISTED_VEHICLE_PKG, False), self.open_pkg("vehicles_level_02_hd.pkg", False)
            extra = content.vehicle_names(random.Random(o.seed + 1), o.vehicles + 1)[-1]
            self.vehicle(o.vehicles, extra[0], extra[1] + "_Old", extra[2], sd, hd, False)
            self.camouflages(extra[0], sd, hd, False, 0, "C%s_8_8Old.dds" % content.NATIONS[extra[0]][2])
            self.close_pkg(sd)
            self.close_pkg(hd)

        # Shared content: models on maps and camouflages, spread over the parts.
        parts = [(self.open_pkg("shared_content-part%d.pkg" % k), self.open_pkg("shared_content_hd-part%d.pkg" % k))
                 for k in range(1, o.shared_parts + 1)]
        for k, (folder, name, kind, suffixes) in enumerate(content.MAP_MODELS):
            sd, hd = parts[k % len(parts)]
            self.map_model(folder, name, kind, suffixes, sd, hd, True)
        for k, (folder, name, kind, suffix) in enumerate(content.TINY_MAP_TEXTURES):
            sd, hd = parts[k % len(parts)]
            self.map_model(folder, name, kind, [suffix], sd, hd, True, tiny=True)
        nations = sorted({v[0] for v in names})
        for nation in nations:
            sd, hd = parts[nation % len(parts)]
            self.camouflages(nation, sd, hd, True, o.camouflages)
        # A camouflage of 1024 bytes or less, never examined.
        sd, hd = parts[0]
        nat = content.NATIONS[nations[0]][0]
        tiny = "vehicles/%s/Camouflage/C%s_0_0Tiny.dds" % (nat, content.NATIONS[nations[0]][2])
        rec, hrec = self.texture(sd, tiny, dxt.DXT1, (16, 16), "albedo", False, hd)
        self.leave("CAMO", os.path.basename(sd.path), tiny, R_SMALL_DDS, size=rec["size"])
        self.leave("CAMO", os.path.basename(hd.path), hrec["path"], R_SMALL_DDS, size=hrec["size"])
        self.edge_shared(parts[0][0], parts[0][1], nations[0])
        for sd, hd in parts:
            self.close_pkg(sd)
            self.close_pkg(hd)

        maps = content.MAPS[:o.maps]
        for k, m in enumerate(maps):
            # The second map carries no texture the map rules select; the first also holds an
            # embedded texture that outgrows its slot once repainted.
            self.map_package(m, True, with_match=(k != 1), extra=self.outgrowing_texture() if k == 0 else ())
        self.map_package(content.LETTER_MAP, True)
        if o.unlisted:
            self.map_package(content.UNLISTED_MAP, False)
        for name in content.OTHER_PACKAGES[:o.other_packages]:
            self.other_package(name)
        self.edge_maps()
        if o.refused_textures:
            for k, fmt in enumerate(dxt.REFUSED):
                self.refused_package(k, fmt, nations[0])
            self.refused_map()
        self.paths_xml()
        return self.manifest()

    def manifest(self):
        o = self.o
        on_disk = sorted(self.packages, key=lambda n: n.encode())
        listed = [n for n in on_disk if self.packages[n]["listed"]]
        pkgs = [n for n in listed if not is_hd(n)]
        map_all = [n for n in listed if "shared_content" in n.lower() or n[:1].isdigit()]
        veh_all = [n for n in listed if "shared_content" in n.lower() or "vehicles_level" in n.lower()]
        for mod in self.mods.values():
            mod["touch"].sort(key=lambda r: (r["package"].encode(), r["path"].encode()))
            mod["leave"].sort(key=lambda r: (r["package"].encode(), r["path"].encode()))
        client = {
            "folder": o.client_name,
            "version_text": self.version_text(),
            "version": o.version,
            "build": o.build,
            "realm": o.realm,
            "publisher": "lesta" if o.lesta else "wargaming",
            "game_info": not o.no_game_info,
            "is_lesta": bool(o.lesta and not o.no_game_info),
            "is_wargaming": not (o.lesta and not o.no_game_info),
            "is_common_test": o.realm.upper() in ("CT", "RPT"),
            "client_exe": self.exe_names()[0],
            "game_exe": self.exe_dir() + "/" + self.exe_names()[0],
            "client_exes": sorted(self.exe_names(), key=lambda n: n.encode()),
            "game_exes": sorted((self.exe_dir() + "/" + n for n in self.exe_names()), key=lambda n: n.encode()),
            "package_ext": self.package_ext(),
            "package_mask": self.package_mask(),
            "paths_form": o.paths_form,
            "res_mods_dir": "res_mods/%s/" % o.mods_version,
            "mods_dir": "mods/%s/" % o.mods_version,
            "packages_on_disk": on_disk,
            "packages_unlisted": [n for n in on_disk if not self.packages[n]["listed"]],
            "pkgs": pkgs,
            "map_pkgs": [n for n in map_all if not is_hd(n)],
            "map_pkgs_with_hd": map_all,
            "vehicle_pkgs": [n for n in veh_all if not is_hd(n)],
            "vehicle_pkgs_with_hd": veh_all,
        }
        scopes = {"DPT": "vehicle_pkgs", "CCT": "vehicle_pkgs", "MEM": "map_pkgs_with_hd",
                  "CTM": "map_pkgs_with_hd", "SpaceBin": "map_pkgs", "CAMO": "vehicle_pkgs_with_hd"}
        mods = {}
        for k, v in self.mods.items():
            errors = sorted(self.errors[k], key=lambda r: (r["package"].encode(), r["path"].encode()))
            mods[k] = {"packages": scopes[k], "touch": v["touch"], "leave": v["leave"], "errors": errors}
        return {
            "generator": "gen_client",
            "format": FORMAT_VERSION,
            "profile": o.profile,
            "seed": o.seed,
            "options": {k: getattr(o, k) for k in sorted(vars(o)) if k not in ("out", "force")},
            "client": client,
            "packages": {n: self.packages[n] for n in on_disk},
            "mods": mods,
        }


# Planted map models: (folder, name, kind, (format, size, chain, extension), case).
EDGE_MAP_MODELS = [
    ("content/MilitaryEnvironment", "mleSU_80_04_SU85", "tank", (dxt.DXT1, (64, 64), 3, ".dds"), "partial_chain"),
    ("content/MilitaryEnvironment", "mleUS_80_02_Stuart", "tank", (dxt.DXT1, (2, 512), False, ".dds"), "side_below_4"),
    ("content/MilitaryEnvironment", "mleGE_80_04_Hetzer", "tank", (dxt.DXT5, (90, 40), True, ".dds"), "odd_size"),
    ("content/MilitaryEnvironment", "mleSU_80_05_IS2", "tank", (dxt.DXT1, (64, 64), True, ".DDS"), "upper_case_extension"),
    ("content/Railway", "rw008_Cistern", "train", (dxt.DXT5, (100, 36), False, ".dds"), "odd_size"),
    ("content/Railway", "rw009_Wagon", "train", (dxt.DXT5, (64, 64), 3, ".dds"), "partial_chain"),
]

# Planted camouflages of the first nation: (name with %s for the nation code, format, picture,
# chain, size, case).
EDGE_CAMOUFLAGES = [
    ("C%s_6_1Marsh.dds", dxt.DXT5, "soft", 3, (64, 64), "partial_chain"),
    ("C%s_6_2Dunes.dds", dxt.DXT1, "albedo", True, (120, 40), "odd_size"),
    ("C%s_6_3Rocks.DDS", dxt.DXT1, "albedo", False, (64, 64), "upper_case_extension"),
    ("C%s_6_4Reeds.dds", dxt.DXT1, "cutout", False, (2, 1024), "side_below_4"),
]

# Models of the packages with refused textures, one package per format: (tanks, trains,
# camouflage names), each as (good, refused, after).
REFUSED_NAMES = [
    (("mleSU_80_11_SU100", "mleSU_80_21_ISU152", "mleSU_80_31_KV2"),
     ("rw021_Locomotive_E", "rw031_Cistern_B", "rw041_Locomotive_F"), ("Thaw", "Mire", "Frost")),
    (("mleGE_80_12_Panther", "mleGE_80_22_Marder", "mleGE_80_32_PzIII"),
     ("rw022_Carriage_B", "rw032_Tender_B", "rw042_Cistern_C"), ("Sand", "Dust", "Haze")),
    (("mleUS_80_13_M4A1", "mleUS_80_23_Stuart_M3", "mleUS_80_33_M4A3"),
     ("rw023_Wagon_B", "rw033_Wagon_C", "rw043_Platform_C"), ("Moss", "Fern", "Bark")),
    (("mleGB_80_14_Churchill", "mleGB_80_24_Cromwell", "mleGB_80_34_Valentine"),
     ("rw024_Platform_B", "rw034_Carriage_C", "rw044_Tender_C"), ("Slate", "Ash", "Soot")),
]


def long_texture_path(base, short, total=270):
    """A texture path under base whose diffuseMap reference (name + path) is `total` bytes long:
    a remastered texture in a deep, long-named folder."""
    head = base + "remaster/"
    tail = "/%s_hull_01_AM.dds" % short
    words = "weathering_dust_and_mud_layers_baked_at_full_resolution_for_the_remastered_model_"
    need = total - len("diffuseMap") - len(head) - len(tail)
    if need < 8:
        raise GenError("vehicle path too long for the planted long reference")
    path = head + (words * (need // len(words) + 1))[:need] + tail
    assert len("diffuseMap") + len(path) == total
    return path


def dpt_becomes(part, prop, path, remove_shadows):
    names = ("diffuseMap", "excludeMaskAndAOMap") if remove_shadows else ("diffuseMap",)
    if prop not in names:
        return None
    tail = path.replace("/", "\\")
    fname = tail.rpartition("\\")[2].lower()
    folder = tail.rpartition("\\")[0].lower()
    if "_inside" not in fname and "_inside" not in folder:
        return TANK_CRASH
    if part in ("hull", "turret") and "_inside" in fname:
        return INSIDE_CRASH
    return None


def resolve(opts):
    """Fills profile defaults and the client identity into the options."""
    prof = PROFILES[opts.profile]
    for k, v in prof.items():
        if getattr(opts, k, None) is None:
            setattr(opts, k, v)
    for k in ("camo_size", "embedded_texture_size"):
        if not hasattr(opts, k):
            setattr(opts, k, None)
    for k, v in (("refused_textures", False), ("tanki", False), ("both_exes", False),
                 ("paths_form", "new"), ("mask_case", "lower")):
        if not hasattr(opts, k):
            setattr(opts, k, v)
    if opts.tanki:
        opts.lesta = True
    if opts.version is None:
        opts.version = "1.45.0.0" if opts.lesta else "1.24.0.1"
    if opts.build is None:
        opts.build = "2290" if opts.lesta else "1234"
    if opts.realm is None:
        opts.realm = ("RPT" if opts.lesta else "CT") if opts.common_test else ("RU" if opts.lesta else "EU")
    if opts.mods_version is None:
        opts.mods_version = opts.version
    if opts.client_name is None:
        opts.client_name = ("Tanki" if opts.lesta else "World_of_Tanks") + "_" + opts.realm
    checks = [
        (opts.vehicles >= 1, "--vehicles must be at least 1"),
        (opts.maps >= 2, "--maps must be at least 2"),
        (opts.maps <= len(content.MAPS), "--maps must be at most %d" % len(content.MAPS)),
        (opts.texture_size in (16, 32, 64, 128, 256, 512, 1024, 2048), "--texture-size must be a power of two from 16 to 2048"),
        (opts.camouflages >= 1, "--camouflages must be at least 1"),
        (1 <= opts.shared_parts <= 9, "--shared-parts must be 1 to 9"),
        (opts.space_bin_kib > 2048, "--space-bin-kib must be above 2048 (the space.bin mod skips smaller files)"),
        (opts.variants >= 1, "--variants must be at least 1"),
        (opts.vehicles_per_part >= 1, "--vehicles-per-part must be at least 1"),
        (0 <= opts.other_packages <= len(content.OTHER_PACKAGES), "--other-packages out of range"),
        (opts.camo_size in (None, 16, 32, 64, 128, 256, 512, 1024, 2048), "--camo-size must be a power of two from 16 to 2048"),
        (opts.embedded_texture_size in (None, 16, 32, 64, 128, 256, 512, 1024, 2048),
         "--embedded-texture-size must be a power of two from 16 to 2048"),
        (all(c.isdigit() or c == "." for c in opts.version) and opts.version[:1].isdigit(), "--version must be digits and dots"),
        (opts.build.isdigit(), "--build must be digits"),
        (all(c.isalnum() or c in "._-" for c in opts.mods_version), "--mods-version may hold letters, digits, '.', '_', '-'"),
        (opts.client_name not in ("", ".", "..") and all(c.isalnum() or c in "._-" for c in opts.client_name),
         "--client-name may hold letters, digits, '.', '_', '-'"),
        (opts.realm.isalnum(), "--realm must be letters or digits"),
        (opts.paths_form in ("new", "old"), "--paths-form must be new or old"),
        (opts.mask_case in ("lower", "upper"), "--mask-case must be lower or upper"),
    ]
    for ok, text in checks:
        if not ok:
            raise GenError(text)
    return opts


def generate(opts):
    """Writes OUT/<client folder> and OUT/manifest.json; returns the manifest."""
    resolve(opts)
    client_dir = os.path.join(opts.out, opts.client_name)
    manifest_path = os.path.join(opts.out, "manifest.json")
    if os.path.exists(client_dir):
        if not opts.force:
            raise GenError("%s exists; remove it or pass --force" % client_dir)
        # Only ever delete a folder this generator wrote.
        try:
            with open(manifest_path, encoding="utf-8") as f:
                prev = json.load(f)
        except (OSError, ValueError):
            prev = {}
        if prev.get("generator") != "gen_client" or prev.get("client", {}).get("folder") != opts.client_name:
            raise GenError("%s exists and was not written by this generator; not replacing it" % client_dir)
    os.makedirs(opts.out, exist_ok=True)
    # The client is written under a temporary name and takes its place only once complete, so a
    # failed run leaves the previous client as it was.
    partial = os.path.join(opts.out, "." + opts.client_name + ".partial")
    if os.path.exists(partial):
        shutil.rmtree(partial)
    try:
        manifest = Generator(opts, partial).run()
    except BaseException:
        shutil.rmtree(partial, ignore_errors=True)
        raise
    tmp = manifest_path + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="\n") as f:
        json.dump(manifest, f, indent=1, sort_keys=False)
        f.write("\n")
    if os.path.exists(client_dir):
        shutil.rmtree(client_dir)
    os.rename(partial, client_dir)
    os.replace(tmp, manifest_path)
    return manifest
