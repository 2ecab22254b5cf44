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
qt6-base-dev xvfb xauth imagemagick xdotool
g++-mingw-w64-x86-64-posix
hyperfine
clang libclang-rt-14-dev
"

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

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
