#!/bin/sh
# tools/package.sh on an already built tree (QUILLON_BUILD_DIR, whatever its
# install prefix) makes a Debian package into the folder given and names it
# on its last line; the package is quillon at the project's version, depends
# on the Qt libraries it links, holds under /usr exactly the files of
# installed-files.txt, its program runs once unpacked, and lintian (where
# installed) reports no errors.
# Skipped (77) where dpkg-deb is missing.
# Usage: check_package.sh SOURCE_DIR BUILD_DIR VERSION
set -u
src=${1:?source dir}
build=${2:?build dir}
version=${3:?version}
here=$(cd "$(dirname "$0")" && pwd)
command -v dpkg-deb >/dev/null || {
    echo "dpkg-deb is missing: no package to check"
    exit 77
}
. "$(dirname "$0")/lib.sh"
out=$scratch/out
mkdir "$out"

if ! QUILLON_BUILD_DIR=$build "$src/tools/package.sh" "$out" >"$scratch/stdout" 2>"$scratch/stderr"; then
    cat "$scratch/stderr" "$scratch/stdout"
    echo "FAIL: tools/package.sh failed"
    exit 1
fi
deb=$(tail -n 1 "$scratch/stdout")
echo "package: $(basename "$deb")"
case $deb in
    "$out"/*.deb) ;;
    *) fail "the last line of tools/package.sh is not a package in $out: '$deb'" ;;
esac
[ -f "$deb" ] || {
    echo "FAIL: no package at '$deb'"
    exit 1
}
[ "$(ls -A "$out")" = "$(basename "$deb")" ] || fail "$out holds more than the package: $(ls -A "$out")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quillon ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', the project's is $version"
depends=$(field Depends)
echo "Depends: $depends"
for lib in libqt6core6 libqt6gui6 libqt6widgets6; do
    echo "$depends" | grep -Eq "(^|, )$lib( |,|$)" || fail "Depends lacks $lib"
done

# Its files: those of an install under /usr, nothing else.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./||' | sort >"$scratch/found"
sed 's|^|usr/|' "$here/installed-files.txt" | sort >"$scratch/expected"
same_files "the package's files under usr/"

dpkg-deb -x "$deb" "$scratch/root" || fail "dpkg-deb -x failed"
runs "$scratch/root/usr/bin/quillon" "packaged usr/bin/quillon"

# Where lintian is installed, the package passes it without errors.
if command -v lintian >/dev/null; then
    lintian --tag-display-limit 0 "$deb" >"$scratch/lintian" 2>&1
    if grep -q '^E: ' "$scratch/lintian"; then
        fail "lintian reports errors:"
        grep '^E: ' "$scratch/lintian"
    fi
    echo "lintian: $(grep -c '^[EW]: ' "$scratch/lintian") errors and warnings"
else
    echo "lintian is missing: the package is not checked by it"
fi

[ $failed -eq 0 ] && echo "tools/package.sh made a package of the program and its desktop files that runs"
exit $failed
