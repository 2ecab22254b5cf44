#!/bin/sh
# Builds the fuzz targets with clang as libFuzzer programs under AddressSanitizer and UBSan and
# runs each for a set time on a working copy of its seed corpus (the committed seeds are never
# changed). Usage: tools/run-fuzz.sh [seconds per target, default 60] [target...]
# Findings land in build-fuzz/work/<target>/ as crash-* files; the run stops at the first one.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=${*:-"command_line cfg_rules dds_texture dxt_codec client_info model_paths space_bin json"}
out=${ASHTINT_FUZZ_BUILD:-build-fuzz}

CC=clang CXX=clang++ cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DASHTINT_FUZZ=ON \
  -DASHTINT_SANITIZE=address,undefined -DASHTINT_TESTS=OFF -DASHTINT_BENCH=OFF >/dev/null  # with Qt for the JSON reader; only the fuzz targets are built
set --
for t in $targets; do set -- "$@" "fuzz_$t"; done
cmake --build "$out" --target "$@" >/dev/null

export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for t in $targets; do
  work="$out/work/$t"
  mkdir -p "$work/corpus"
  # One job on one core: the machine is shared.
  "$out/fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/" \
    "$work/corpus" "fuzz/corpus/$t" >"$work/log" 2>&1 || { tail -n 40 "$work/log"; exit 1; }
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
  echo "run-fuzz: $t: $runs executions in $seconds s, corpus $(ls "$work/corpus" | wc -l) inputs"
done
