#!/usr/bin/env python3
"""Writes src/gui/color_dialog/color_names_table.cpp, the colour dialog's named colours in English and Russian.

Source: the X11 colour names and their values from rgb.txt (Debian package x11-common, X11/MIT
licence), and the Russian names that KDE's translators gave the same colour names (msgctxt
"color" in kdelibs4support.mo of the Debian package libkf5kdelibs4support-data; the
translations are under the GPL-2 as that package's copyright file says). Only the colour
names KDE translated are taken, so every English name has its Russian twin.

By default both packages are fetched with `apt-get download` into a temporary folder and
unpacked with `dpkg-deb -x`; --rgb-txt and --mo take files already at hand instead.

    python3 tools/gen_color_names.py            # rewrites src/gui/color_dialog/color_names_table.cpp

Each table is sorted by name ignoring letter case, hyphens and apostrophes ("ё" counts as
"е"); Cross is the 1-based row of the same colour name in the other table. Two source names
that share both the colour and the Russian name (X11's "gray"/"grey" spellings, "navy" and
"NavyBlue") are one row: the first in byte order is kept.
"""

import argparse
import glob
import os
import struct
import subprocess
import sys
import tempfile
import urllib.parse

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "src", "gui", "color_dialog", "color_names_table.cpp")
RGB_PACKAGE = "x11-common"
MO_PACKAGE = "libkf5kdelibs4support-data"
RGB_PATH = "usr/share/X11/rgb.txt"
MO_PATH = "usr/share/locale/ru/LC_MESSAGES/kdelibs4support.mo"


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
    return os.path.join(tree, inner), version


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


def read_mo(path):
    """The message catalogue as {(context, msgid): msgstr}."""
    data = open(path, "rb").read()
    magic = struct.unpack("<I", data[:4])[0]
    endian = "<" if magic == 0x950412DE else ">"
    _, count, originals, translations = struct.unpack(endian + "4I", data[4:20])
    catalogue = {}
    for i in range(count):
        olen, ooff = struct.unpack(endian + "2I", data[originals + 8 * i: originals + 8 * i + 8])
        tlen, toff = struct.unpack(endian + "2I", data[translations + 8 * i: translations + 8 * i + 8])
        original = data[ooff: ooff + olen].decode("utf-8")
        context, _, msgid = original.rpartition("\x04")
        catalogue[(context, msgid.split("\x00")[0])] = data[toff: toff + tlen].decode("utf-8").split("\x00")[0]
    return catalogue


def sort_key(name):
    folded = name.lower().replace("ё", "е").replace("-", "").replace("'", "")
    return (folded, name)


def c_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--rgb-txt", help="rgb.txt instead of the one in " + RGB_PACKAGE)
    parser.add_argument("--mo", help="Russian kdelibs4support.mo instead of the one in " + MO_PACKAGE)
    parser.add_argument("--out", default=OUT)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as workdir:
        os.chmod(workdir, 0o777)  # apt-get downloads as its own unprivileged user
        rgb_path, rgb_version = (args.rgb_txt, "given file") if args.rgb_txt else fetch(RGB_PACKAGE, RGB_PATH, workdir)
        mo_path, mo_version = (args.mo, "given file") if args.mo else fetch(MO_PACKAGE, MO_PATH, workdir)
        colours = read_rgb(rgb_path)
        catalogue = read_mo(mo_path)

    rows = []  # (english, russian, (r, g, b))
    seen = set()
    for (context, english), russian in sorted(catalogue.items(), key=lambda item: item[0][1].encode()):
        if context != "color" or not russian or english not in colours:
            continue
        rgb = colours[english]
        if (russian, rgb) in seen:
            continue
        seen.add((russian, rgb))
        rows.append((english, russian, rgb))
    if not rows:
        sys.exit("gen_color_names: no translated colour names found")

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
// under the X11 (MIT) licence. Russian names: KDE's translations of the same colour names
// (kdelibs4support.mo, msgctxt "color", from {MO_PACKAGE} {mo_version}), under the GPL-2.
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
