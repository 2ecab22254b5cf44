#!/bin/sh
# Builds everything and runs the whole test suite.
set -eu
cd "$(dirname "$0")/.."
tools/build.sh
cd build
ctest --output-on-failure -j "$(nproc)"
