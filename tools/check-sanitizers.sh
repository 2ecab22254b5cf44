#!/bin/sh
# Builds the package workers' and the network tests with AddressSanitizer and UBSan, and again
# with ThreadSanitizer, and runs them: the worker threads, their call queue, the update check's
# thread and the space.bin walk over fuzzed files. Optional first argument: the folder that
# receives the two builds (default build-sanitizers/).
set -eu
cd "$(dirname "$0")/.."
out=${1:-build-sanitizers}
for kind in address,undefined thread; do
  dir="$out/$(echo "$kind" | tr ',' '-')"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DASHTINT_SANITIZE="$kind" \
    -DASHTINT_BENCH=OFF -DASHTINT_GUI=OFF >/dev/null
  cmake --build "$dir" --target test_mods test_net >/dev/null
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
  "$dir/tests/mods/test_mods" --gtest_brief=1
  "$dir/tests/net/test_net" --gtest_brief=1 --gtest_filter='WebUpdate*:InternetTest*'
  echo "check-sanitizers: $kind clean"
done
