#!/bin/sh
# Configures and builds into build/ (or $QUILLON_BUILD_DIR): everything, or
# only the targets named.
# Usage: tools/build.sh [TARGET...]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLON_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${QUILLON_CMAKE_ARGS:-} >/dev/null
if [ $# -eq 0 ]; then
    cmake --build "$build" -j"$(nproc)"
else
    cmake --build "$build" -j"$(nproc)" --target "$@"
fi
