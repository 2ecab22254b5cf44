#!/bin/sh
# The Windows release in one command: cross-builds AshtintCreator2.exe and AshtintGui.exe with
# mingw-w64 against Qt built from Debian's qt6-base source, builds 7z.dll from Debian's 7-Zip
# source (both cached after the first run), and zips both programs, exactly the DLLs and Qt's
# Russian texts the front end loads, the licences, the four configuration files and a readme.
#
#   tools/make-windows-release.sh [BUILD_DIR]     (default build/windows)
#
# Result: BUILD_DIR/release/AshtintCreator2/ and BUILD_DIR/release/AshtintCreator2_<version>_win64.zip
set -eu
cd "$(dirname "$0")/.."
out=${1:-build/windows}
cross=x86_64-w64-mingw32

sh tools/check-windows.sh "$out" >/dev/null
gui=${ASHTINT_WINDOWS_GUI:-1}
[ "$gui" = 1 ] && qt=$(sh tools/build-qt-mingw.sh)
version=$(sed -n 's/^set(ASHTINT_PROGRAM_VERSION "\(.*\)")$/\1/p' CMakeLists.txt)
build=$(sed -n 's/^set(ASHTINT_PROGRAM_BUILD "\(.*\)")$/\1/p' CMakeLists.txt)

release="$out/release"
folder="$release/AshtintCreator2"
zipfile="AshtintCreator2_${version}.${build}_win64.zip"
rm -rf "$folder" "$release/$zipfile"
mkdir -p "$folder"
# The engine is shipped as linked: its version tag closes the file, and stripping would cut it.
cp "$out/src/engine/AshtintCreator2.exe" "$folder/"
sh tools/build-7z-dll.sh "$folder" >/dev/null
cp configs/CrashTanks.cfg configs/MapTanks.cfg configs/MapTrains.cfg configs/Camouflage.cfg "$folder/"
# Windows line ends, so that Notepad shows the lines.
# Lines marked @GUI@ are about the front end.
if [ "$gui" = 1 ]; then keep='s/^@GUI@//'; else keep='/^@GUI@/d'; fi
sed -e "$keep" -e "s/@VERSION@/$version/; s/@BUILD@/$build/" -e 's/$/\r/' tools/windows/README.txt >"$folder/README.txt"
# The project's licence and the notices of what the release carries from others.
sed -e 's/$/\r/' LICENSE >"$folder/LICENSE.txt"
sed -e 's/$/\r/' THIRD-PARTY.md >"$folder/THIRD-PARTY.txt"

# The front end and exactly what it loads (left out with ASHTINT_WINDOWS_GUI=0).
if [ "$gui" = 1 ]; then
  # The front end, its platform plugin and the native look's style plugin (without it Qt draws the
  # old Windows 95 look).
  mkdir -p "$folder/platforms" "$folder/styles" "$folder/translations" "$folder/licenses"
  cp "$out/src/gui/AshtintGui.exe" "$folder/"
  cp "$qt/plugins/platforms/qwindows.dll" "$folder/platforms/"
  cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$folder/styles/"
  # Qt's own texts in Russian (file choosers, standard buttons): the window loads the base
  # modules' catalogue, which Debian's translations package has.
  cp /usr/share/qt6/translations/qtbase_ru.qm "$folder/translations/"
  # Every DLL these load, found from their import tables: Qt's and the compiler's runtime; the
  # system's own DLLs are in none of these folders.
  gcc_dir=$(dirname "$($cross-g++-posix -print-file-name=libstdc++-6.dll)")
  set -- "$folder/AshtintGui.exe" "$folder/platforms/qwindows.dll" "$folder/styles/qwindowsvistastyle.dll"
  while [ $# -gt 0 ]; do
    for dll in $($cross-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
      [ -f "$folder/$dll" ] && continue
      for dir in "$qt/bin" "$gcc_dir" "/usr/$cross/lib"; do
        if [ -f "$dir/$dll" ]; then
          cp "$dir/$dll" "$folder/"
          set -- "$@" "$folder/$dll"
          break
        fi
      done
    done
    shift
  done
  # Qt's release DLLs and the runtime carry symbol tables the program does not need.
  for f in "$folder"/AshtintGui.exe "$folder"/*.dll "$folder"/platforms/*.dll "$folder"/styles/*.dll; do
    case "$f" in */7z.dll) continue ;; esac
    $cross-strip --strip-unneeded "$f"
  done
  [ -f "$folder/Qt6Widgets.dll" ] && [ -f "$folder/libstdc++-6.dll" ] || {
    echo "make-windows-release: the front end's DLLs were not found" >&2
    exit 1
  }

  # Licences of what the front end brings: Qt (LGPL 3, whose terms build on the GPL 3), the third
  # parties compiled into Qt (Debian's copyright file lists them with their texts), the compiler's
  # runtime (GPL 3 with the GCC Runtime Library Exception) and winpthreads (MIT).
  cp "$qt/licenses/LGPL-3.0-only.txt" "$folder/licenses/Qt-LGPL-3.0-only.txt"
  cp "$qt/licenses/GPL-3.0-only.txt" "$folder/licenses/Qt-GPL-3.0-only.txt"
  cp "$qt/licenses/debian-copyright.txt" "$folder/licenses/Qt-copyright.txt"
  cp /usr/share/doc/gcc-mingw-w64-base/copyright "$folder/licenses/gcc-runtime-copyright.txt"
  cp /usr/share/doc/mingw-w64-common/copyright "$folder/licenses/mingw-w64-runtime-copyright.txt"
fi

# No extra attributes and sorted names: the same inputs give the same archive listing.
(cd "$release" && find AshtintCreator2 -type f | LC_ALL=C sort | zip -q -X -D -9 "$zipfile.partial" -@ &&
  mv "$zipfile.partial" "$zipfile")
count=$(unzip -Z1 "$release/$zipfile" | wc -l)
expected=10
[ "$gui" = 1 ] && expected=25
[ "$count" -eq "$expected" ] || { echo "make-windows-release: $count files in the zip, $expected expected" >&2; exit 1; }
echo "$release/$zipfile"
