#!/usr/bin/env python3
"""The whole engine on a generated client, stage by stage and all six together, from the game
packages to the finished .wotmod packages, against `7z t` over the same packages (as many at once
as the engine runs workers). For each run: wall seconds, processor seconds (user + system, which
do not depend on the machine's load), their ratios to `7z t`, and the engine's peak memory. Then
the alpha-weighted RGB PSNR of the camouflages against the exact result (the source decoded,
dimmed with truncation, halved level by level), level 0 and the smaller levels apart.

Give a second engine with --before to measure both in the same run, one after the other per
stage, so their figures share the machine's load:

    python3 bench/engine_bench.py --client OUT/World_of_Tanks_EU [--engine build/src/engine/AshtintCreator2]
                                  [--before OLD/AshtintCreator2] [--mods DPT,CAMO] [--visibility 30]

On a shared machine whose speed drifts, --repeat N runs each measurement N times in turn (7z t
and every engine, alternating) and reports the smallest wall and processor seconds of each, with
the largest beside them.

Make a client with: python3 tools/gen_client.py --profile large --out OUT
"""

import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

STAGES = {"DPT": ("vehicle_pkgs", "--DPT-mod=FFFFFF"), "CCT": ("vehicle_pkgs", "--CCT-mod=404040"),
          "MEM": ("map_pkgs_with_hd", "--MEM-mod=DD7744"), "CTM": ("map_pkgs_with_hd", "--CTM-mod=2050A0"),
          "SpaceBin": ("map_pkgs", "--SpaceBin-mod=DD7744|2050A0"), "CAMO": ("vehicle_pkgs_with_hd", "--CAMO-mod=%d")}


def run_measured(cmd):
    """Wall seconds, processor seconds, peak KiB and exit status of one process."""
    start = time.monotonic()
    proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    out = proc.stdout.read()
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = os.waitstatus_to_exitcode(status)
    return time.monotonic() - start, usage.ru_utime + usage.ru_stime, usage.ru_maxrss, proc.returncode, out


def seven_zip_test(packages, jobs):
    """`7z t` over the packages, jobs at a time: wall and processor seconds."""
    start = time.monotonic()
    cpu = 0.0
    procs, pending = [], list(packages)
    while pending or procs:
        while pending and len(procs) < jobs:
            procs.append(subprocess.Popen(["7z", "t", "-bso0", "-bsp0", pending.pop()]))
        pid, _, usage = os.wait4(-1, 0)
        cpu += usage.ru_utime + usage.ru_stime
        procs = [p for p in procs if p.pid != pid]
    return time.monotonic() - start, cpu


def stage_args(mods, visibility):
    return [STAGES[m][1] % visibility if m == "CAMO" else STAGES[m][1] for m in mods]


def run_engine(engine, client, mods, args, out_dir):
    here = os.path.dirname(os.path.abspath(__file__))
    cmd = [engine, "--wot-path=" + client, "--mods-path=" + out_dir, "--no-update-configs", "--auto-close-console",
           "--cpu-count=%d" % args.cpu, "--configs-path=" + os.path.join(here, "..", "configs")]
    # The previous run's output is written back and deleted outside this one's time: left to the
    # kernel, it landed on whichever engine ran next (the first of each stage), 0.3 s on SpaceBin.
    os.sync()
    wall, cpu, peak, code, out = run_measured(cmd + stage_args(mods, args.visibility))
    if code != 0:
        sys.stdout.write(out.decode("latin-1"))
        raise SystemExit("%s: exit status %d" % (engine, code))
    return wall, cpu, peak


def camo_quality(quality_tool, client, packages, mods_dir, visibility, label):
    """PSNR of the camouflages of the package in mods_dir against their sources."""
    work = tempfile.mkdtemp(prefix="ashtint_bench_camo_")
    try:
        results = os.path.join(work, "result")
        sources = os.path.join(work, "source")
        wanted = set()
        for name in os.listdir(mods_dir):
            if name.endswith(".wotmod") and "Camouflages" in name:
                with zipfile.ZipFile(os.path.join(mods_dir, name)) as z:
                    for info in z.infolist():
                        # The package root holds res/ + the path inside the game package.
                        if info.filename.lower().endswith(".dds") and info.filename.startswith("res/"):
                            z.extract(info, results)
                            wanted.add(info.filename[len("res/"):])
        for pkg in packages:
            with zipfile.ZipFile(pkg) as z:
                for info in z.infolist():
                    if info.filename in wanted:
                        z.extract(info, os.path.join(sources, "res"))
        run = subprocess.run([quality_tool, "dirs", str(visibility), sources, results, label],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        return run.stdout.decode().rstrip()
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--client", required=True)
    here = os.path.dirname(os.path.abspath(__file__))
    build = os.path.join(here, "..", "build")
    ap.add_argument("--engine", default=os.path.join(build, "src", "engine", "AshtintCreator2"))
    ap.add_argument("--before", help="an earlier engine to measure in the same run")
    ap.add_argument("--quality-tool", default=os.path.join(build, "bench", "bench_camo_quality"))
    ap.add_argument("--cpu", type=int, default=os.cpu_count())
    ap.add_argument("--mods", default="DPT,CCT,MEM,CTM,SpaceBin,CAMO", help="the stages to run")
    ap.add_argument("--visibility", type=int, default=30)
    ap.add_argument("--no-stages", action="store_true", help="only all the stages together")
    ap.add_argument("--repeat", type=int, default=1, help="runs of each measurement, alternating; the fastest counts")
    args = ap.parse_args()

    with open(os.path.join(os.path.dirname(os.path.abspath(args.client)), "manifest.json")) as f:
        client = json.load(f)["client"]
    mods = [m for m in args.mods.split(",") if m]
    engines = [("after", args.engine)] + ([("before", args.before)] if args.before else [])

    def packages_of(stage_mods):
        names = sorted({n for m in stage_mods for n in client[STAGES[m][0]]})
        return [os.path.join(args.client, "res", "packages", n) for n in names]

    with open("/proc/loadavg") as f:
        print("load average at start: " + " ".join(f.read().split()[:3]))
    runs = [[m] for m in mods] if not args.no_stages and len(mods) > 1 else []
    runs.append(mods)
    seven_zip_test(packages_of(mods), args.cpu)  # every later read comes from the page cache
    print("%-22s %5s %8s %6s %8s %6s %9s %9s %7s" % ("run", "pkgs", "MiB", "", "wall s", "/7z", "cpu s", "/7z cpu",
                                                   "peak MiB"))
    quality = []
    for stage_mods in runs:
        packages = packages_of(stage_mods)
        mib = sum(os.path.getsize(p) for p in packages) / 2**20
        label = "+".join(stage_mods) if len(stage_mods) < len(STAGES) else "all six"
        # Every measurement in turn, repeat times: what the machine's drift does falls on all.
        sevens, results, out_dirs = [], {name: [] for name, _ in engines}, {}
        try:
            for _ in range(max(args.repeat, 1)):
                os.sync()
                sevens.append(seven_zip_test(packages, args.cpu))
                for name, engine in engines:
                    out_dir = tempfile.mkdtemp(prefix="ashtint_bench_mods_")
                    results[name].append(run_engine(engine, args.client, stage_mods, args, out_dir))
                    if name in out_dirs:
                        shutil.rmtree(out_dir, ignore_errors=True)
                    else:
                        out_dirs[name] = out_dir  # the first result of each engine is measured below
            sz_wall, sz_cpu = min(w for w, _ in sevens), min(c for _, c in sevens)
            spread = args.repeat > 1
            print("%-22s %5d %8.0f %6s %8.2f %6s %9.2f%s" % (
                label, len(packages), mib, "7z t", sz_wall, "", sz_cpu,
                "   (largest: wall %.2f, cpu %.2f)" % (max(w for w, _ in sevens), max(c for _, c in sevens))
                if spread else ""))
            for name, _ in engines:
                runs_of = results[name]
                wall, cpu, peak = min(r[0] for r in runs_of), min(r[1] for r in runs_of), max(r[2] for r in runs_of)
                print("%-22s %5s %8s %6s %8.2f %6.2f %9.2f %9.2f %7.0f%s" % (
                    "", "", "", name, wall, wall / sz_wall, cpu, cpu / sz_cpu if sz_cpu else 0, peak / 1024.0,
                    "   (largest: wall %.2f, cpu %.2f)" % (max(r[0] for r in runs_of), max(r[1] for r in runs_of))
                    if spread else ""))
                if stage_mods == ["CAMO"] or (len(runs) == 1 and "CAMO" in stage_mods):
                    quality.append(camo_quality(args.quality_tool, args.client, packages_of(["CAMO"]), out_dirs[name],
                                                args.visibility, "CAMO %s, visibility %d" % (name, args.visibility)))
        finally:
            for out_dir in out_dirs.values():
                shutil.rmtree(out_dir, ignore_errors=True)
    with open("/proc/loadavg") as f:
        print("load average at end: " + " ".join(f.read().split()[:3]))
    for line in quality:
        print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main())
