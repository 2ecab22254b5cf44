#!/bin/sh
# The Windows release in one command: cross-builds AshtintCreator2.exe with mingw-w64, builds
# 7z.dll from Debian's 7-Zip source (cached after the first run), and zips the engine, the
# library with its licence, the four configuration files and a short readme.
#
#   tools/make-windows-release.sh [BUILD_DIR]     (default build/windows)
#
# Result: BUILD_DIR/release/AshtintCreator2/ and BUILD_DIR/release/AshtintCreator2_<version>_win64.zip
set -eu
cd "$(dirname "$0")/.."
out=${1:-build/windows}

sh tools/check-windows.sh "$out" >/dev/null
version=$(sed -n 's/^set(ASHTINT_PROGRAM_VERSION "\(.*\)")$/\1/p' CMakeLists.txt)
build=$(sed -n 's/^set(ASHTINT_PROGRAM_BUILD "\(.*\)")$/\1/p' CMakeLists.txt)

release="$out/release"
folder="$release/AshtintCreator2"
zipfile="AshtintCreator2_${version}.${build}_win64.zip"
rm -rf "$folder" "$release/$zipfile"
mkdir -p "$folder"
cp "$out/src/engine/AshtintCreator2.exe" "$folder/"
sh tools/build-7z-dll.sh "$folder" >/dev/null
cp configs/CrashTanks.cfg configs/MapTanks.cfg configs/MapTrains.cfg configs/Camouflage.cfg "$folder/"
# Windows line ends, so that Notepad shows the lines.
sed -e "s/@VERSION@/$version/; s/@BUILD@/$build/" -e 's/$/\r/' tools/windows/README.txt >"$folder/README.txt"
# The project's licence and the notices of what the release carries from others.
sed -e 's/$/\r/' LICENSE >"$folder/LICENSE.txt"
sed -e 's/$/\r/' THIRD-PARTY.md >"$folder/THIRD-PARTY.txt"

# No extra attributes and sorted names: the same inputs give the same archive listing.
(cd "$release" && find AshtintCreator2 -type f | LC_ALL=C sort | zip -q -X -D "$zipfile.partial" -@ &&
  mv "$zipfile.partial" "$zipfile")
count=$(unzip -Z1 "$release/$zipfile" | wc -l)
[ "$count" -eq 10 ] || { echo "make-windows-release: $count files in the zip, 10 expected" >&2; exit 1; }
echo "$release/$zipfile"
