#!/bin/sh
# Builds the Debian package of Quillon: installs what is missing, configures
# a Release build in build-package/ (or $QUILLON_BUILD_DIR) with the prefix
# /usr when that folder is not configured yet, builds the program and has
# CPack make the package into OUTDIR (the build folder unless given).
# A folder configured otherwise (another prefix, another build type) is
# used as it is; the package installs under /usr whatever its prefix.
# The package's path is the last line of standard output; everything else
# goes to standard error.
# Usage: tools/package.sh [OUTDIR]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLON_BUILD_DIR:-$top/build-package}
out=${1:-$build}

"$top/tools/install-deps.sh" >&2

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr >&2
fi
[ -f "$build/CPackConfig.cmake" ] || {
    echo "package: $build has no CPack configuration (a fuzz build?)" >&2
    exit 1
}
cmake --build "$build" --target quillon >&2

# CPack works in a folder of its own, so that OUTDIR receives the package
# and nothing else.
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d "$build/package.XXXXXX")
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >&2
set -- "$work"/*.deb
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "package: CPack made no package" >&2
    exit 1
fi
mv "$1" "$out/"
echo "$out/$(basename "$1")"
