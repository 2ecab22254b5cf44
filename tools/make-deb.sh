#!/bin/sh
# Builds the Debian package of both programs into build/ (ashtint_<version>_<arch>.deb).
set -eu
cd "$(dirname "$0")/.."
tools/build.sh
cd build
cpack -G DEB
ls -1 ashtint_*.deb
