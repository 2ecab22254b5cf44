#!/bin/sh
# Builds 7-Zip's archive library for 64-bit Windows (7z.dll) with mingw-w64 from Debian's own
# 7-Zip source package, and keeps it in a cache outside the source tree, one copy per source
# version, so that only the first run compiles (about 5 minutes on two cores).
#
#   tools/build-7z-dll.sh [FOLDER]   copies 7z.dll and its licence (7z-License.txt) into FOLDER
#                                    when given; prints the library's path
#
# Cache: $ASHTINT_CACHE_DIR, else $XDG_CACHE_HOME/ashtint, else ~/.cache/ashtint.
# Needs deb-src entries in apt's sources (tools/setup.sh adds them) and the mingw-w64 compilers.
set -eu

cache=${ASHTINT_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/ashtint}
jobs=${ASHTINT_JOBS:-2}
cross=x86_64-w64-mingw32

# The version apt would fetch names the cached copy; a newer source package builds a new one.
dsc=$(apt-get source --print-uris -qq 7zip 2>/dev/null | awk '{print $2}' | grep '\.dsc$' | head -n 1) || true
if [ -z "$dsc" ]; then
  echo "build-7z-dll: apt has no source of 7zip; run tools/setup.sh (it adds deb-src entries)" >&2
  exit 1
fi
version=${dsc#7zip_}
version=${version%.dsc}
dll="$cache/7zip-$version/7z.dll"

if [ ! -s "$dll" ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT INT TERM
  # apt downloads as its own user when it can write there; else it warns and downloads as root.
  if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then chown _apt "$work"; fi
  (cd "$work" && apt-get source -qq 7zip >/dev/null)
  src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name '7zip-*' | head -n 1)
  [ -n "$src" ] || { echo "build-7z-dll: apt-get source gave no source folder" >&2; exit 1; }
  echo "build-7z-dll: compiling 7z.dll from 7zip $version (cached for later runs)" >&2
  # Format7zF is the bundle of every archive format, the library 7-Zip itself ships as 7z.dll.
  # MSYSTEM makes the makefile use POSIX rm and mkdir; RAR stays out as in Debian's own build.
  nice make -s -C "$src/CPP/7zip/Bundles/Format7zF" -f makefile.gcc -j "$jobs" \
    IS_MINGW=1 IS_X64=1 MSYSTEM=1 DISABLE_RAR=1 O="$work/obj" \
    CC="$cross-gcc-posix" CXX="$cross-g++-posix" RC="$cross-windres" >"$work/build.log" 2>&1 || {
    tail -n 30 "$work/build.log" >&2
    echo "build-7z-dll: the build failed" >&2
    exit 1
  }
  "$cross-strip" "$work/obj/7z.dll"
  # The entry points the engine's binding calls must be exported.
  exports=$("$cross-objdump" -p "$work/obj/7z.dll")
  for name in CreateObject GetModuleProp GetHandlerProperty2 GetNumberOfFormats; do
    echo "$exports" | grep -q "\] $name\$" || { echo "build-7z-dll: $name is not exported" >&2; exit 1; }
  done
  mkdir -p "$(dirname "$dll")"
  cp "$src/DOC/License.txt" "$(dirname "$dll")/7z-License.txt"
  cp "$work/obj/7z.dll" "$dll.partial"
  mv "$dll.partial" "$dll"
fi

if [ $# -ge 1 ]; then
  mkdir -p "$1"
  cp "$(dirname "$dll")/7z-License.txt" "$1/7z-License.txt"
  cp "$dll" "$1/7z.dll.partial"
  mv "$1/7z.dll.partial" "$1/7z.dll"
  echo "$1/7z.dll"
else
  echo "$dll"
fi
