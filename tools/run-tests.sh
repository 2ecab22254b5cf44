#!/bin/sh
# Builds everything and runs the whole test suite.
set -eu
cd "$(dirname "$0")/.."
mkdir -p build
# With ASHTINT_WINDOWS_GUI=1 the Windows release carries the front end too. Its Qt is compiled from
# source on a machine without the cache, the longest single step: it starts now, beside the
# project's own build and tests, and the Windows release test waits for it.
if [ "${ASHTINT_WINDOWS_GUI:-0}" = 1 ]; then
  setsid sh tools/build-qt-mingw.sh >build/qt-mingw.log 2>&1 &
  qt=$!
  trap 'kill -- -$qt 2>/dev/null || true' EXIT INT TERM
fi
tools/build.sh
cd build
ctest --output-on-failure -j "$(nproc)"
