#!/bin/sh
# The sanitizer pass of the test suite. AddressSanitizer and UBSan: every unit test, the
# end-to-end tests (the engine built with them too), the front end's tests (the windows, the
# engine runner, a first start that builds the mods; the front end's own code under
# AddressSanitizer alone, see CMakeLists.txt) and the fuzz targets over their seeds.
# ThreadSanitizer: the tests that run threads: the package workers and their call queue, the
# update check's thread, the DXT compression threads and archive objects used from two threads
# at once. Optional first argument: the folder that receives the two builds (default
# build-sanitizers/).
set -eu
cd "$(dirname "$0")/.."
out=${1:-build-sanitizers}
jobs=$(nproc)
for kind in address,undefined thread; do
  dir="$out/$(echo "$kind" | tr ',' '-')"
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
  export LSAN_OPTIONS=suppressions=$(pwd)/tools/lsan.supp
  gui=ON
  [ "$kind" = thread ] && gui=OFF  # the threaded tests are not the front end's
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DASHTINT_SANITIZE="$kind" \
    -DASHTINT_BENCH=OFF -DASHTINT_GUI=$gui >/dev/null
  if [ "$kind" = thread ]; then
    cmake --build "$dir" --target test_mods test_net test_textures test_archive >/dev/null
    "$dir/tests/mods/test_mods" --gtest_brief=1
    "$dir/tests/net/test_net" --gtest_brief=1 --gtest_filter='WebUpdate*:InternetTest*'
    "$dir/tests/textures/test_textures" --gtest_brief=1 --gtest_filter='DxtMT.*'
    "$dir/tests/archive/test_archive" --gtest_brief=1 --gtest_filter='*Thread*'
  else
    cmake --build "$dir" >/dev/null
    # Reports go to files, since a child process's report (the engine's, under the end-to-end
    # tests) would otherwise be lost with its standard error.
    reports=$(cd "$dir" && pwd)/reports
    rm -rf "$reports" && mkdir -p "$reports"
    ASAN_OPTIONS=$ASAN_OPTIONS:log_path=$reports/asan UBSAN_OPTIONS=$UBSAN_OPTIONS:log_path=$reports/ubsan
    # The generator's own tests and the Windows build and its Wine tests are not the sanitizers'
    # business.
    if ! ctest --test-dir "$dir" -j "$jobs" --output-on-failure -E '^(gen_client|windows_release)$' -LE wine \
      >"$dir/ctest.log" 2>&1; then
      cat "$dir/ctest.log" "$reports"/* 2>/dev/null
      exit 1
    fi
    tail -n 3 "$dir/ctest.log"
  fi
  echo "check-sanitizers: $kind clean"
done
