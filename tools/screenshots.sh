#!/bin/sh
# Builds, lays out a fresh demo site and takes screenshots of the real
# windows under Xvfb into OUTDIR (default build/shots).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLON_BUILD_DIR:-$top/build}
out=${1:-$build/shots}
"$top/tools/install-deps.sh"
QUILLON_BUILD_DIR="$build" "$top/tools/build.sh"
eval "$("$top/tools/demo-site.sh" "$build" "${TMPDIR:-/tmp}/quillon-shots-site")"
mkdir -p "$out"
QUILLON_SHOTS_DIR="$out" xvfb-run -a -s "-screen 0 1280x900x24" "$build/tools/quillon-shots"
