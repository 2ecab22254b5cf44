#!/usr/bin/env python3
"""Writes src/gui/color_dialog/color_names_table.cpp, the colour dialog's named colours in English and Russian.

Sources, both under licences the project's MIT licence can carry:
- the X11 colour names and their values from rgb.txt (Debian package x11-common, X11/MIT
  licence);
- tools/color_names_ru.tsv, the project's own Russian names for the colours it lists (one line
  each: the English name exactly as in rgb.txt, a tab, the Russian name). That file chooses
  which X11 names the dialog offers.

By default x11-common is fetched with `apt-get download` into a temporary folder and unpacked
with `dpkg-deb -x`; --rgb-txt takes a file already at hand instead.

    python3 tools/gen_color_names.py            # rewrites src/gui/color_dialog/color_names_table.cpp

Each table is sorted by name ignoring letter case, hyphens and apostrophes ("ё" counts as
"е"); Cross is the 1-based row of the same colour name in the other table. A name missing from
rgb.txt, a line without a Russian name and a name given twice in either language stop the run.
"""

import argparse
import glob
import os
import subprocess
import sys
import tempfile
import urllib.parse

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "src", "gui", "color_dialog", "color_names_table.cpp")
RUSSIAN = os.path.join(ROOT, "tools", "color_names_ru.tsv")
RGB_PACKAGE = "x11-common"
RGB_PATH = "usr/share/X11/rgb.txt"


def fetch(package, inner, workdir):
    """Downloads a Debian package, unpacks it and returns (path of inner file, package version)."""
    subprocess.run(["apt-get", "download", package], cwd=workdir, check=True,
                   stdout=subprocess.DEVNULL)
    debs = glob.glob(os.path.join(workdir, package + "_*.deb"))
    if len(debs) != 1:
        sys.exit(f"gen_color_names: expected one {package} package, found {debs}")
    tree = os.path.join(workdir, package)
    subprocess.run(["dpkg-deb", "-x", debs[0], tree], check=True)
    version = urllib.parse.unquote(os.path.basename(debs[0]).split("_")[1])
    path = os.path.join(tree, inner)
    if os.path.islink(path):  # the package links rgb.txt to its copy under etc/
        path = os.path.join(tree, os.readlink(path).lstrip("/"))
    return path, version


def read_rgb(path):
    colours = {}
    with open(path, encoding="latin-1") as f:
        for line in f:
            if line.startswith("!") or not line.strip():
                continue
            parts = line.split(None, 3)
            if len(parts) == 4:
                colours.setdefault(parts[3].strip(), tuple(int(p) for p in parts[:3]))
    return colours


def read_russian(path):
    """[(english, russian)] in file order; stops on a malformed line or a repeated name."""
    rows = []
    english_seen, russian_seen = set(), set()
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line.strip() or line.startswith("#"):
                continue
            english, tab, russian = line.partition("\t")
            english, russian = english.strip(), russian.strip()
            where = f"{os.path.relpath(path, ROOT)}:{number}"
            if not tab or not english or not russian:
                sys.exit(f"gen_color_names: {where}: expected an English name, a tab and a Russian name")
            if english in english_seen:
                sys.exit(f"gen_color_names: {where}: \"{english}\" is listed twice")
            if russian in russian_seen:
                sys.exit(f"gen_color_names: {where}: \"{russian}\" names two colours")
            english_seen.add(english)
            russian_seen.add(russian)
            rows.append((english, russian))
    return rows


def sort_key(name):
    folded = name.lower().replace("ё", "е").replace("-", "").replace("'", "")
    return (folded, name)


def c_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--rgb-txt", help="rgb.txt instead of the one in " + RGB_PACKAGE)
    parser.add_argument("--russian", default=RUSSIAN, help="the Russian names (default %(default)s)")
    parser.add_argument("--out", default=OUT)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as workdir:
        os.chmod(workdir, 0o777)  # apt-get downloads as its own unprivileged user
        rgb_path, rgb_version = (args.rgb_txt, "given file") if args.rgb_txt else fetch(RGB_PACKAGE, RGB_PATH, workdir)
        colours = read_rgb(rgb_path)
    names = read_russian(args.russian)
    if not names:
        sys.exit("gen_color_names: no Russian colour names found")
    missing = [english for english, _ in names if english not in colours]
    if missing:
        sys.exit("gen_color_names: not in rgb.txt: " + ", ".join(missing))

    rows = [(english, russian, colours[english]) for english, russian in names]
    english_order = sorted(range(len(rows)), key=lambda i: sort_key(rows[i][0]) + (rows[i][2],))
    russian_order = sorted(range(len(rows)), key=lambda i: sort_key(rows[i][1]) + (rows[i][2],))
    english_row = {source: n + 1 for n, source in enumerate(english_order)}
    russian_row = {source: n + 1 for n, source in enumerate(russian_order)}

    def table(order, column, cross):
        lines = []
        for source in order:
            name = rows[source][column]
            r, g, b = rows[source][2]
            lines.append(f"    {{{c_string(name)}, 0x{b:02X}{g:02X}{r:02X}, {cross[source]}}},")
        return "\n".join(lines)

    text = f"""// Generated by tools/gen_color_names.py; do not edit.
// English names and values: X11 rgb.txt from the Debian package {RGB_PACKAGE} ({rgb_version}),
// under the X11 (MIT) licence. Russian names: tools/color_names_ru.tsv, written for this
// project, under its MIT licence.
#include "gui/color_dialog/color_names.h"

namespace ashtint {{

namespace {{

// clang-format off
constexpr std::array<RNAMECOLOR, NamedColorCount> Russian = {{{{
{table(russian_order, 1, english_row)}
}}}};

constexpr std::array<RNAMECOLOR, NamedColorCount> English = {{{{
{table(english_order, 0, russian_row)}
}}}};
// clang-format on

static_assert(NamedColorCount == {len(rows)}, "gui/color_dialog/color_names.h must declare the generated row count");

}}  // namespace

std::span<const RNAMECOLOR> NamedColors(int language) {{
  return language == LanguageEnglish ? std::span<const RNAMECOLOR>(English) : std::span<const RNAMECOLOR>(Russian);
}}

}}  // namespace ashtint
"""
    with open(args.out + ".tmp", "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    os.replace(args.out + ".tmp", args.out)
    print(f"gen_color_names: {len(rows)} colours written to {os.path.relpath(args.out, ROOT)}")


if __name__ == "__main__":
    main()
