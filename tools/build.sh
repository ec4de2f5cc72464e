#!/bin/sh
# Configures and builds everything into build/ (or $QUILLON_BUILD_DIR).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLON_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${QUILLON_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)"
