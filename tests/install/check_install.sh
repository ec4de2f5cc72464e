#!/bin/sh
# `cmake --install` of a built tree into a scratch prefix puts exactly the
# files of installed-files.txt in place and nothing else (no test, simulator
# or benchmark program): the program runs from there and carries no run
# path, the desktop entry names the program and an icon that is installed at
# every size, each PNG has the pixel size of its folder, the scalable icon is
# the program's own drawing, the metainfo launches the installed desktop
# entry, and the manual page is there, compressed, and renders.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR VERSION
set -u
build=${1:?build dir}
src=${2:?source dir}
version=${3:?version}
here=$(cd "$(dirname "$0")" && pwd)
. "$(dirname "$0")/lib.sh"
root=$scratch/prefix

if ! cmake --install "$build" --prefix "$root" >"$scratch/install.log" 2>&1; then
    cat "$scratch/install.log"
    echo "FAIL: cmake --install failed"
    exit 1
fi

# Exactly the expected files.
(cd "$root" && find . ! -type d | sed 's|^\./||' | sort) >"$scratch/found"
sort "$here/installed-files.txt" >"$scratch/expected"
same_files "installed files"

# The program, from where it was installed. It needs no run path: one would have the loader look
# for libraries beside it (or, for an empty entry, in the working folder) first.
program=$root/bin/quillon
if runs "$program" "installed bin/quillon" && readelf -d "$program" | grep -Eq '\((RPATH|RUNPATH)\)'; then
    fail "the installed program carries a run path: $(readelf -d "$program" | grep -E 'RPATH|RUNPATH')"
fi

# The desktop entry starts the program on PATH and shows the installed icon.
desktop=$root/share/applications/$id.desktop
if [ -f "$desktop" ]; then
    grep -qx 'Exec=quillon' "$desktop" || fail "the desktop entry's Exec is not quillon: $(grep '^Exec=' "$desktop")"
    grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's Icon is not $id: $(grep '^Icon=' "$desktop")"
fi

# Every PNG is a PNG of its folder's size; the scalable icon is the drawing.
# Bytes 0-7 are the signature, 16-23 the width and height (big-endian).
for png in "$root"/share/icons/hicolor/*/apps/$id.png; do
    [ -f "$png" ] || continue
    size=$(basename "$(dirname "$(dirname "$png")")")
    set -- $(od -An -tu1 -N24 "$png")
    if [ "$1 $2 $3 $4 $5 $6 $7 $8" != "137 80 78 71 13 10 26 10" ]; then
        fail "$size icon is not a PNG"
        continue
    fi
    shift 16
    width=$(( ($1 << 24) | ($2 << 16) | ($3 << 8) | $4 ))
    height=$(( ($5 << 24) | ($6 << 16) | ($7 << 8) | $8 ))
    [ "${width}x${height}" = "$size" ] || fail "the $size icon is ${width}x${height} pixels"
done
svg=$root/share/icons/hicolor/scalable/apps/$id.svg
[ -f "$svg" ] && ! cmp -s "$svg" "$src/src/ui/resources/images/quillon.svg" &&
    fail "the scalable icon is not src/ui/resources/images/quillon.svg"

metainfo=$root/share/metainfo/$id.metainfo.xml
if [ -f "$metainfo" ]; then
    grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "the metainfo does not launch $id.desktop"
fi

man=$root/share/man/man1/quillon.1.gz
if [ -f "$man" ]; then
    if ! gzip -dc "$man" >"$scratch/quillon.1"; then
        fail "the manual page does not decompress"
    elif ! groff -man -Tutf8 "$scratch/quillon.1" 2>/dev/null | grep -q 'quillon'; then
        fail "the installed manual page does not render"
    fi
fi

[ $failed -eq 0 ] && echo "cmake --install put exactly the program and its desktop files in place"
exit $failed
