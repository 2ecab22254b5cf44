#!/bin/sh
# Builds the Debian package from a built tree (default build/) and checks what it holds and
# which packages it depends on.
set -eu
build=${1:-build}
cd "$build"
rm -f ashtint_*.deb
cpack -G DEB >/dev/null
deb=$(ls -1 ashtint_*.deb)
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/AshtintCreator2 ./usr/bin/AshtintGui ./usr/share/ashtint/configs/CrashTanks.cfg \
         ./usr/share/applications/AshtintGui.desktop ./usr/share/icons/hicolor/scalable/apps/ashtint.svg \
         ./usr/share/doc/ashtint/copyright ./usr/share/doc/ashtint/THIRD-PARTY.txt; do
  echo "$contents" | grep -q " $f\$" || { echo "check-deb: $f missing from $deb" >&2; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in p7zip-full libcurl4 libqt6widgets6 qt6-translations-l10n; do
  echo "$depends" | grep -q "$d" || { echo "check-deb: no dependency on $d: $depends" >&2; exit 1; }
done
echo "check-deb: $deb ($depends)"
