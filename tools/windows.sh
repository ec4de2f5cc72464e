#!/bin/sh
# The Windows build, made and tested on Debian: installs what is missing
# (MinGW-w64, Wine, NSIS, zip, Xvfb), gets Qt for Windows
# (tools/windows-qt.sh), configures and cross-builds quillon.exe, the
# simulator, the tests and the benchmarks into build-windows/ (or
# $QUILLON_BUILD_DIR), packs the two things a Windows user takes, and runs
# every test under Wine (a private Wine prefix in the build folder, Xvfb
# for windows):
#   quillon-<version>-windows-x86_64.zip  unzip and run quillon.exe
#   quillon-<version>-setup.exe           the installer (per user; /S: silent)
# It ends with CTest's summary and the two files' paths, and fails when a
# test failed.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLON_BUILD_DIR:-$top/build-windows}
mkdir -p "$build"
build=$(cd "$build" && pwd) # Wine wants its prefix as an absolute path

# What building and testing for Windows needs, beside the Linux build's
# tools (cmake, ninja, the host's Qt tools moc, rcc and uic).
packages="cmake ninja-build ccache qt6-base-dev qt6-base-dev-tools g++-mingw-w64-x86-64-posix mingw-w64-tools
wine wine64 nsis zip unzip xvfb xauth"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    as_root=""
    [ "$(id -u)" -eq 0 ] || as_root="sudo"
    echo "windows: installing:$missing" >&2
    $as_root apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq $missing >&2
fi

qt=$("$top/tools/windows-qt.sh" | tail -n 1)

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLON_WERROR=ON \
        -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake ${QUILLON_CMAKE_ARGS:-} >/dev/null
fi
cmake --build "$build" -j"$(nproc)"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
"$top/tools/windows-package.sh" "$build" "$qt" "$version" >/dev/null

# Wine: a prefix of the build's own, made once (about 10 s), no debug
# chatter. Its server and first processes are started before ctest: left
# to the first test, they would keep ctest's output pipe open.
export WINEPREFIX="$build/wine-prefix" WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1 || true
fi
status=0
xvfb-run -a sh -c 'wineserver -p; wine cmd /c exit >/dev/null 2>&1; ctest --test-dir "$1" --output-on-failure -j2 --timeout 600; s=$?; wineserver -k; exit $s' \
    sh "$build" || status=1
echo "Windows zip:       $build/quillon-$version-windows-x86_64.zip"
echo "Windows installer: $build/quillon-$version-setup.exe"
exit $status
