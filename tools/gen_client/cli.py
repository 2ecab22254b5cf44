"""Command line of the synthetic client generator."""

import argparse
import sys
import time

from .client import GenError, generate
from .profiles import PROFILES

EPILOG = """\
The client goes to OUT/<client folder> and the manifest to OUT/manifest.json. The same seed and
options always give byte-identical files. An existing client folder is replaced only with --force,
and only when OUT/manifest.json shows that this generator wrote it.

profiles (each value can be overridden):
""" + "\n".join("  %-6s %s" % (name, ", ".join("%s=%s" % kv for kv in p.items()))
                for name, p in PROFILES.items()) + """

examples:
  gen_client.py --profile small --out /tmp/wot
  gen_client.py --profile demo --out demo-client --seed 7 --unlisted
  gen_client.py --profile small --out /tmp/lesta --lesta --common-test --no-game-info
  gen_client.py --profile small --out /tmp/tanki --tanki --paths-form old --mask-case upper
  gen_client.py --profile large --out /data/bench --vehicles 400 --maps 30 --texture-size 1024
  gen_client.py --profile large --out /data/bench --camo-size 1024 --embedded-texture-size 256
  gen_client.py --profile small --out /tmp/refused --refused-textures
"""


def parser():
    p = argparse.ArgumentParser(
        prog="gen_client.py",
        description="Writes a synthetic World of Tanks client (packages, models, textures, maps) "
                    "and a manifest of what each mod should change.",
        epilog=EPILOG, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--profile", choices=sorted(PROFILES), default="small", help="size profile (default small)")
    p.add_argument("--out", required=True, metavar="DIR", help="folder that receives the client folder and manifest.json")
    p.add_argument("--seed", type=int, default=1, help="random seed (default 1)")
    p.add_argument("--force", action="store_true", help="replace a client folder this generator wrote before")
    g = p.add_argument_group("client identity")
    g.add_argument("--lesta", action="store_true", help="a Lesta client (publisher lesta, realm RU, v.1.45.0.0 #2290)")
    g.add_argument("--common-test", action="store_true",
                   help="a Common Test client: realm CT (RPT with --lesta), 'Common Test' in the version text")
    g.add_argument("--no-game-info", action="store_true", help="leave out game_info.xml")
    g.add_argument("--tanki", action="store_true",
                   help="a current Lesta client (implies --lesta): Tanki.exe and win64/Tanki.exe instead of "
                        "WorldOfTanks.exe, mod packages *.mtmod in paths.xml")
    g.add_argument("--both-exes", action="store_true",
                   help="write both WorldOfTanks.exe and Tanki.exe (in the client folder and win64/ or win32/)")
    g.add_argument("--win32-only", action="store_true", help="only win32/<exe>, no win64/")
    g.add_argument("--paths-form", choices=("new", "old"), default="new",
                   help="paths.xml names the mods folder in <Path mask=...> (new, default) or in "
                        "<Packages><Root>...</Root><Mask>...</Mask></Packages> (old)")
    g.add_argument("--mask-case", choices=("lower", "upper"), default="lower",
                   help="letter case of the mod package mask in paths.xml (*.wotmod or *.WOTMOD)")
    g.add_argument("--unlisted", action="store_true",
                   help="also write packages that paths.xml does not list (%s, %s and their HD twins)"
                   % ("vehicles_level_02.pkg", "03_campania_big.pkg"))
    g.add_argument("--version", help="dotted client version (default 1.24.0.1, Lesta 1.45.0.0)")
    g.add_argument("--build", help="build number (default 1234, Lesta 2290)")
    g.add_argument("--realm", help="realm in version.xml (default EU, RU, CT or RPT)")
    g.add_argument("--mods-version", help="name of the versioned res_mods and mods folders (default: the version)")
    g.add_argument("--client-name", help="client folder name (default World_of_Tanks_<realm> or Tanki_<realm>)")
    g = p.add_argument_group("packages and sizes (defaults from the profile)")
    g.add_argument("--deflate", action="store_true", help="deflate package entries instead of storing them")
    g.add_argument("--vehicles", type=int, help="number of vehicles")
    g.add_argument("--maps", type=int, help="number of numbered maps (at least 2)")
    g.add_argument("--texture-size", type=int, help="side of the main vehicle textures; HD twins are twice as large")
    g.add_argument("--camouflages", type=int, help="camouflages per nation")
    g.add_argument("--shared-parts", type=int, help="number of shared_content-partN packages")
    g.add_argument("--space-bin-kib", type=int, help="least size of each space.bin in KiB (above 2048)")
    g.add_argument("--vehicles-per-part", type=int, help="vehicles per vehicles_level_NN-partN package (levels 5+)")
    g.add_argument("--variants", type=int, help="distinct pictures per texture kind and size (more is slower)")
    g.add_argument("--other-packages", type=int, help="number of packages no mod reads (scripts.pkg, gui-part1.pkg, ...)")
    g.add_argument("--camo-size", type=int,
                   help="side of every camouflage, DXT5 with full chains as the game's are (HD twins twice "
                        "as large); default: sizes from --texture-size")
    g.add_argument("--embedded-texture-size", type=int,
                   help="side of the textures embedded in space.bin (default: half of --texture-size, at least 16)")
    g = p.add_argument_group("failure cases")
    g.add_argument("--refused-textures", action="store_true",
                   help="also write packages whose selected textures are in formats the repaint refuses "
                        "(DXT3, ATI2, DX10, uncompressed) and a map embedding such textures; the manifest "
                        "lists the errors the engine must report")
    return p


def main(argv=None):
    opts = parser().parse_args(argv)
    start = time.time()
    try:
        m = generate(opts)
    except GenError as e:
        print("gen_client: error: %s" % e, file=sys.stderr)
        return 2
    except OSError as e:
        print("gen_client: error: %s" % e, file=sys.stderr)
        return 1
    size = sum(p["size"] for p in m["packages"].values())
    print("gen_client: %s client %s in %s: %d packages, %.1f MB, %.1f s" % (
        m["profile"], m["client"]["folder"], opts.out, len(m["packages"]), size / 1e6, time.time() - start))
    return 0
