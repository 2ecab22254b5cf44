#!/usr/bin/env python3
"""The whole engine on a generated client: all six stages, from the game packages to the finished
.wotmod packages, against `7z t` over every package the stages read (as many at once as the
engine runs workers). Prints both wall times, their ratio and the engine's peak memory.

    python3 bench/engine_bench.py --client OUT/World_of_Tanks_EU [--engine build/src/engine/AshtintCreator2]

Make a client with: python3 tools/gen_client.py --profile large --out OUT
"""

import argparse
import json
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

STAGES = {"DPT": ("vehicle_pkgs", "--DPT-mod=FFFFFF"), "CCT": ("vehicle_pkgs", "--CCT-mod=404040"),
          "MEM": ("map_pkgs_with_hd", "--MEM-mod=DD7744"), "CTM": ("map_pkgs_with_hd", "--CTM-mod=2050A0"),
          "SpaceBin": ("map_pkgs", "--SpaceBin-mod=DD7744|2050A0"), "CAMO": ("vehicle_pkgs_with_hd", "--CAMO-mod=30")}


def seven_zip_test(packages, jobs):
    start = time.monotonic()
    procs, pending = [], list(packages)
    while pending or procs:
        while pending and len(procs) < jobs:
            procs.append(subprocess.Popen(["7z", "t", "-bso0", "-bsp0", pending.pop()]))
        procs[0].wait()
        procs = [p for p in procs if p.poll() is None]
    return time.monotonic() - start


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--client", required=True)
    here = os.path.dirname(os.path.abspath(__file__))
    ap.add_argument("--engine", default=os.path.join(here, "..", "build", "src", "engine", "AshtintCreator2"))
    ap.add_argument("--cpu", type=int, default=os.cpu_count())
    ap.add_argument("--mods", default="DPT,CCT,MEM,CTM,SpaceBin,CAMO", help="the stages to run")
    args = ap.parse_args()

    with open(os.path.join(os.path.dirname(os.path.abspath(args.client)), "manifest.json")) as f:
        client = json.load(f)["client"]
    mods = [m for m in args.mods.split(",") if m]
    names = sorted({n for m in mods for n in client[STAGES[m][0]]})
    packages = [os.path.join(args.client, "res", "packages", n) for n in names]
    total = sum(os.path.getsize(p) for p in packages)

    seven_zip_test(packages, args.cpu)  # both runs then read from the page cache
    sz = seven_zip_test(packages, args.cpu)

    out_dir = tempfile.mkdtemp(prefix="ashtint_bench_mods_")
    try:
        cmd = [args.engine, "--wot-path=" + args.client, "--mods-path=" + out_dir, "--no-update-configs",
               "--auto-close-console", "--cpu-count=%d" % args.cpu,
               "--configs-path=" + os.path.join(here, "..", "configs")] + [STAGES[m][1] for m in mods]
        start = time.monotonic()
        run = subprocess.run(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        wall = time.monotonic() - start
        peak_kib = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
        out = sum(os.path.getsize(os.path.join(out_dir, n)) for n in os.listdir(out_dir))
    finally:
        shutil.rmtree(out_dir, ignore_errors=True)
    if run.returncode != 0:
        sys.stdout.write(run.stdout.decode("latin-1"))
        print("engine exit status %d" % run.returncode)
        return 1
    print("stages: " + ", ".join(mods))
    print("packages read: %d, %.0f MiB; packages written: %.0f MiB" % (len(packages), total / 2**20, out / 2**20))
    print("7z t:   %7.2f s" % sz)
    print("engine: %7.2f s  (ratio %.2f)" % (wall, wall / sz))
    print("engine peak memory: %.0f MiB" % (peak_kib / 1024.0))
    return 0


if __name__ == "__main__":
    sys.exit(main())
