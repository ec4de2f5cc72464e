#!/bin/sh
# Provides Qt 6 for Windows (x86_64 MinGW-w64, shared, Release) in a cache
# outside the build folder and prints its folder (the one holding
# lib/cmake/Qt6) as the last line of standard output. In this order:
#   - QUILLON_QT_WINDOWS names an unpacked Qt for Windows: used as it is;
#   - QUILLON_QT_WINDOWS_ARCHIVE names a qt-*-mingw.tar.xz (which must
#     exist), else the shared one beside the project
#     (../shared/windows-qt/qt-6.4.2-mingw.tar.xz) is taken: unpacked into
#     the cache once;
#   - with neither, Qt is built from Debian's qt6-base source (6.4.2) and the
#     Qt SVG tarball, with the patch found beside them (QUILLON_QT_WINDOWS_SRC,
#     default the shared folder): about an hour of CPU time, once.
# The cache is QUILLON_CACHE_DIR, else ${XDG_CACHE_HOME:-~/.cache}/quillon.
# Everything but the folder's name goes to standard error.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cache=${QUILLON_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/quillon}
shared=${QUILLON_QT_WINDOWS_SRC:-$(cd "$top/.." && pwd)/shared/windows-qt}
qt_version=6.4.2
log() { echo "windows-qt: $*" >&2; }

usable() { [ -f "$1/lib/cmake/Qt6/Qt6Config.cmake" ] && [ -f "$1/bin/Qt6Widgets.dll" ]; }

if [ -n "${QUILLON_QT_WINDOWS:-}" ]; then
    usable "$QUILLON_QT_WINDOWS" || { log "$QUILLON_QT_WINDOWS holds no Qt for Windows"; exit 1; }
    echo "$QUILLON_QT_WINDOWS"
    exit 0
fi

archive=${QUILLON_QT_WINDOWS_ARCHIVE:-$shared/qt-$qt_version-mingw.tar.xz}
if [ -n "${QUILLON_QT_WINDOWS_ARCHIVE:-}" ] && [ ! -f "$archive" ]; then
    # A named archive is never replaced by an hour's build (CI names one).
    log "no archive $archive"
    exit 1
fi
if [ -f "$archive" ]; then
    # One folder per archive (its size and time in the name), so that a new
    # archive is unpacked afresh rather than over an older one.
    stamp=$(stat -c '%s-%Y' "$archive")
    dest=$cache/qt-windows-$stamp
    if ! usable "$dest/qt6-mingw"; then
        log "unpacking $archive into $dest"
        rm -rf "$dest.tmp"
        mkdir -p "$dest.tmp"
        tar -xJf "$archive" -C "$dest.tmp"
        [ -d "$dest.tmp/qt6-mingw" ] || { log "$archive does not unpack to qt6-mingw/"; exit 1; }
        rm -rf "$dest"
        mv "$dest.tmp" "$dest"
    fi
    echo "$dest/qt6-mingw"
    exit 0
fi

# Built from source, as the shared folder's README tells.
prefix=$cache/qt-windows-built/qt6-mingw
if usable "$prefix" && [ -f "$prefix/lib/cmake/Qt6Svg/Qt6SvgConfig.cmake" ]; then
    echo "$prefix"
    exit 0
fi
patch_file=$shared/qtbase-directwrite3-needs-direct2d.patch
svg_tarball=$shared/qtsvg-everywhere-src-$qt_version.tar.xz
for f in "$patch_file" "$svg_tarball"; do
    [ -f "$f" ] || { log "no Qt archive, and $f is missing to build one"; exit 1; }
done
log "no Qt archive: building Qt $qt_version for Windows from source (about an hour of CPU time)"

as_root=""
[ "$(id -u)" -eq 0 ] || as_root="sudo"
need=""
for p in g++-mingw-w64-x86-64-posix mingw-w64-tools ninja-build cmake qt6-base-dev qt6-base-dev-tools dpkg-dev; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need="$need $p"
done
if [ -n "$need" ]; then
    $as_root apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq $need >&2
fi

work=$cache/qt-windows-work
mkdir -p "$work"
if [ ! -d "$work/src" ]; then
    # Debian's qt6-base source needs a deb-src entry like the deb one.
    if ! apt-get source --print-uris qt6-base >/dev/null 2>&1; then
        src_list=/etc/apt/sources.list.d/quillon-deb-src.sources
        for f in /etc/apt/sources.list.d/*.sources; do
            [ -f "$f" ] && [ "$f" != "$src_list" ] || continue
            sed -e 's/^Types:.*/Types: deb-src/' "$f"
            echo
        done | $as_root tee "$src_list" >/dev/null
        $as_root apt-get update -qq
    fi
    rm -rf "$work/get" && mkdir -p "$work/get"
    (cd "$work/get" && apt-get source qt6-base >&2)
    src=$(find "$work/get" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
    [ -n "$src" ] || { log "apt-get source qt6-base gave no source folder"; exit 1; }
    patch -d "$src" -p1 <"$patch_file" >&2
    mv "$src" "$work/src"
fi

toolchain=$top/cmake/mingw-w64-x86_64.cmake
host="-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake"
off=""
for f in sql dbus printsupport concurrent xml tabletevent vulkan direct2d ssl openssl schannel zstd brotli \
    gssapi icu pkg_config system_zlib system_pcre2 system_png system_jpeg system_harfbuzz system_freetype \
    system_doubleconversion; do
    off="$off -DFEATURE_$f=OFF"
done
# shellcheck disable=SC2086
cmake -S "$work/src" -B "$work/build-qtbase" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" $host \
    -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DINPUT_opengl=no -DFEATURE_freetype=ON -DQT_USE_CCACHE=ON $off >&2
cmake --build "$work/build-qtbase" -j"$(nproc)" >&2
cmake --install "$work/build-qtbase" >&2

rm -rf "$work/qtsvg" && mkdir -p "$work/qtsvg"
tar -xJf "$svg_tarball" -C "$work/qtsvg" --strip-components=1
# shellcheck disable=SC2086
cmake -S "$work/qtsvg" -B "$work/build-qtsvg" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" $host \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF >&2
cmake --build "$work/build-qtsvg" -j"$(nproc)" >&2
cmake --install "$work/build-qtsvg" >&2
usable "$prefix" || { log "the Qt build left no usable Qt in $prefix"; exit 1; }
rm -rf "$work"
echo "$prefix"
