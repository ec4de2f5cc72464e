#!/bin/sh
# Installs the Debian packages that building, testing and the demo need,
# when any is missing. Run as root (or with sudo available).
set -eu

# clang and its runtimes build the fuzz targets (libFuzzer) and the
# sanitizer runs; dpkg-dev makes the Debian package (tools/package.sh);
# desktop-file-utils, appstream and groff-base check the desktop entry, the
# metainfo and the manual page; the others build, test and show the program.
packages="cmake ninja-build g++ ccache qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-svg-dev libgl-dev
xvfb xauth fonts-dejavu-core putty-tools openssh-server clang libclang-rt-14-dev
dpkg-dev desktop-file-utils appstream groff-base"

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

as_root=""
[ "$(id -u)" -eq 0 ] || as_root="sudo"
echo "install-deps: installing:$missing" >&2
$as_root apt-get update -qq
DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq $missing >&2
