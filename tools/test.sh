#!/bin/sh
# Installs what is missing, builds everything (warnings are errors) and runs
# every test: unit, window and end-to-end. Ends with CTest's summary.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLON_BUILD_DIR:-$top/build}
"$top/tools/install-deps.sh"
QUILLON_BUILD_DIR="$build" QUILLON_CMAKE_ARGS="-DQUILLON_WERROR=ON ${QUILLON_CMAKE_ARGS:-}" "$top/tools/build.sh"
cd "$build"
exec ctest --output-on-failure --timeout 900
