#!/bin/sh
# Configures and builds the project into build/ (Release, Ninja). Extra arguments go to cmake.
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build build -j "$(nproc)"
