#!/bin/sh
# Installs what is missing, builds what the demo runs (the program, the
# ClearCase simulator and the Kestrel stand-in), lays out a fresh demo site
# and opens Quillon on it (simulated ClearCase; no real site needed).
# With QUILLON_DEMO_SMOKE=1 it runs the demo's smoke check instead: the
# project is chosen as a user would, and it ends with status 0 once the
# user's views are listed and the buttons are enabled (1 otherwise).
# Usage: tools/demo.sh [configuration file]   (xvfb-run -a tools/demo.sh
# where there is no display)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLON_BUILD_DIR:-$top/build}
"$top/tools/install-deps.sh"
QUILLON_BUILD_DIR="$build" "$top/tools/build.sh" demo
# Where the build put each program, as the build itself wrote it down.
. "$build/quillon-programs.sh"
eval "$("$top/tools/demo-site.sh" "$build")"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "There is no display here: run it as  xvfb-run -a tools/demo.sh  (or set DISPLAY)." >&2
    exit 1
fi
if [ "${QUILLON_DEMO_SMOKE:-0}" = 1 ]; then
    exec "$QUILLON_DEMO_SMOKE_PROGRAM" "$@"
fi
exec "$QUILLON_PROGRAM" "$@"
