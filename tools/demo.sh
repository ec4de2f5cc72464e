#!/bin/sh
# Installs what is missing, builds, lays out a fresh demo site and opens
# Quillon on it (simulated ClearCase; no real site needed).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLON_BUILD_DIR:-$top/build}
"$top/tools/install-deps.sh"
QUILLON_BUILD_DIR="$build" "$top/tools/build.sh"
eval "$("$top/tools/demo-site.sh" "$build")"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "There is no display here: run it as  xvfb-run -a tools/demo.sh  (or set DISPLAY)." >&2
    exit 1
fi
exec "$build/src/quillon" "$@"
