#!/bin/sh
# Installs every Debian package the build, the tests, the benchmarks and the demo need.
# Runs apt-get only for what is missing, so a second run is quick. Needs root on Debian 12.
set -eu

PACKAGES="
build-essential cmake ninja-build pkg-config git
python3 python3-pil zip unzip
libgtest-dev libgmock-dev googletest libbenchmark-dev
p7zip-full
libcurl4-openssl-dev
libsquish-dev libstb-dev python3-skimage extremetuxracer-data
qt6-base-dev qt6-translations-l10n xvfb xauth imagemagick xdotool
g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
dpkg-dev xz-utils wine64 fonts-wine
hyperfine
clang libclang-rt-14-dev
"

# tools/build-7z-dll.sh and tools/build-qt-mingw.sh compile 7z.dll and Qt for Windows from
# Debian's 7-Zip and qt6-base source packages, which apt only finds with deb-src entries: when there are none, mirror Debian's own deb entries as deb-src.
need_update=""
if ! grep -Eqs '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
    /etc/apt/sources.list.d/*.sources; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: apt has no deb-src entries (needed for 7-Zip's source) and adding them needs root" >&2
    exit 1
  fi
  src=/etc/apt/sources.list.d/ashtint-deb-src.sources
  list=/etc/apt/sources.list.d/ashtint-deb-src.list
  # deb822 in debian.sources (Debian 12 images), one-line entries in sources.list (installs).
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -n 's/^Types: deb$/Types: deb-src/p;/^Types:/!p' /etc/apt/sources.list.d/debian.sources >"$src.partial"
    mv "$src.partial" "$src"
  fi
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list >"$list.partial"
    mv "$list.partial" "$list"
  fi
  echo "setup: added deb-src entries for 7-Zip's source"
fi
# Entries whose lists apt has not fetched yet.
if ! apt-get source --print-uris -qq 7zip >/dev/null 2>&1; then
  need_update=1
fi

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

if [ -n "$need_update" ] && [ -z "$missing" ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: apt's source lists need an update (apt-get update), which needs root" >&2
    exit 1
  fi
  apt-get update -q
fi

if [ -n "$missing" ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: these packages are missing and installing them needs root:$missing" >&2
    exit 1
  fi
  echo "setup: installing$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  # shellcheck disable=SC2086
  apt-get install -y -q --no-install-recommends $missing
else
  echo "setup: all packages present"
fi
