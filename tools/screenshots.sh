#!/bin/sh
# Builds, lays out a fresh demo site and takes screenshots of the real
# windows under Xvfb into OUTDIR (default build/shots), at SCALE (1 unless
# given; 2 for 200%). QUILLON_SHOTS_PALETTE=dark takes them with Fusion and
# a dark palette instead of the desktop's theme.
# Usage: tools/screenshots.sh [OUTDIR [SCALE]]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLON_BUILD_DIR:-$top/build}
out=${1:-$build/shots}
scale=${2:-1}
"$top/tools/install-deps.sh"
QUILLON_BUILD_DIR="$build" "$top/tools/build.sh" quillon-shots cleartool-sim
. "$build/quillon-programs.sh"
eval "$("$top/tools/demo-site.sh" "$build" "${TMPDIR:-/tmp}/quillon-shots-site")"
mkdir -p "$out"
width=$(awk "BEGIN { print int(1280 * $scale) }")
height=$(awk "BEGIN { print int(900 * $scale) }")
if [ "${QUILLON_SHOTS_PALETTE:-}" = dark ]; then
    unset QT_QPA_PLATFORMTHEME
fi
QT_SCALE_FACTOR="$scale" QUILLON_SHOTS_DIR="$out" \
    xvfb-run -a -s "-screen 0 ${width}x${height}x24" "$QUILLON_SHOTS_PROGRAM"
