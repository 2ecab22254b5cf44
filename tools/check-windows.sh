#!/bin/sh
# Cross-builds both programs and the front end's test programs for Windows with mingw-w64,
# warnings as errors, so the Windows files keep compiling and linking although this machine
# never runs them natively. The front end's Qt comes from tools/build-qt-mingw.sh (compiled once,
# then cached); ASHTINT_WINDOWS_GUI=0 builds the engine alone.
# Optional first argument: the build folder (default build-windows/).
set -eu
cd "$(dirname "$0")/.."
out=${1:-build-windows}
if [ "${ASHTINT_WINDOWS_GUI:-1}" = 1 ]; then
  qt=$(sh tools/build-qt-mingw.sh)
  cmake -S . -B "$out" -G Ninja --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$qt" -DASHTINT_TESTS=ON -DASHTINT_BENCH=OFF -DASHTINT_GUI=ON >/dev/null
  cmake --build "$out" -j "${ASHTINT_JOBS:-2}" --target AshtintCreator2 AshtintGui test_gui test_colorpicker test_json
  # A windowed front end (subsystem 2, no console behind it).
  "${CROSS:-x86_64-w64-mingw32}-objdump" -p "$out/src/gui/AshtintGui.exe" | grep -q '^Subsystem[[:space:]]*00000002'
else
  cmake -S . -B "$out" -G Ninja --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DASHTINT_TESTS=OFF -DASHTINT_BENCH=OFF -DASHTINT_GUI=OFF >/dev/null
  cmake --build "$out" -j "${ASHTINT_JOBS:-2}" --target AshtintCreator2
fi
# The version tag must close the Windows file as well.
tail -c 14 "$out/src/engine/AshtintCreator2.exe" | grep -q ';842:1.2.2:REV'
# An engine without runtime DLLs.
if "${CROSS:-x86_64-w64-mingw32}-objdump" -p "$out/src/engine/AshtintCreator2.exe" | grep -Eiq 'DLL Name: (libstdc|libgcc|libwinpthread)'; then
  echo "check-windows: the engine loads a MinGW runtime DLL" >&2
  exit 1
fi
echo "check-windows: Windows programs built in $out"
