#!/bin/sh
# Cross-builds the engine for Windows with mingw-w64, warnings as errors, so the Windows files
# keep compiling and linking although this machine never runs them. Optional first argument:
# the build folder (default build-windows/).
set -eu
cd "$(dirname "$0")/.."
out=${1:-build-windows}
cmake -S . -B "$out" -G Ninja --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DASHTINT_TESTS=OFF -DASHTINT_BENCH=OFF -DASHTINT_GUI=OFF >/dev/null
cmake --build "$out" --target AshtintCreator2
# The version tag must close the Windows file as well.
tail -c 14 "$out/src/engine/AshtintCreator2.exe" | grep -q ';842:1.2.2:REV'
echo "check-windows: $out/src/engine/AshtintCreator2.exe built"
