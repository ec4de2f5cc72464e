#!/bin/sh
# The desktop entry, the AppStream metainfo and the manual page, as written
# under data/: each validator accepts them without an error, a warning or
# even a hint or note (a validator's exit status alone lets all of these
# through), they carry the project's version, and the manual page names
# every option and environment variable that `quillon --help` names.
# The one note let through: appstreamcli does not know the TLD .example of
# the supplier's domain, from which the application id is made.
# Usage: check_metadata.sh SOURCE_DIR VERSION QUILLON
set -u
data=${1:?source dir}/data
version=${2:?version}
quillon=${3:?program}
. "$(dirname "$0")/lib.sh"
need() {
    command -v "$1" >/dev/null || {
        echo "FAIL: $1 is missing (tools/install-deps.sh installs it)"
        exit 1
    }
}
need desktop-file-validate
need appstreamcli
need groff

# Runs a validator; fails on its status and on any line that PATTERN (an
# extended regular expression) says is a finding.
validate() {
    pattern=$1
    shift
    "$@" >"$scratch/out" 2>&1
    status=$?
    sed 's/^/  | /' "$scratch/out"
    [ $status -eq 0 ] || fail "$* ended with status $status"
    if grep -v "^I: $id:3: cid-maybe-not-rdns $id\$" "$scratch/out" | grep -Eq "$pattern"; then
        fail "$* has findings"
    fi
}

echo "desktop-file-validate $id.desktop"
validate ': (error|warning|hint):' desktop-file-validate "$data/$id.desktop"
echo "appstreamcli validate --no-net --pedantic $id.metainfo.xml"
validate '^[EWIP]: ' appstreamcli validate --no-net --pedantic "$data/$id.metainfo.xml"

echo "groff -man -ww quillon.1"
if ! groff -man -Tutf8 -ww -z "$data/quillon.1" >"$scratch/groff" 2>&1; then
    fail "groff could not render quillon.1"
fi
sed 's/^/  | /' "$scratch/groff"
[ -s "$scratch/groff" ] && fail "groff warns about quillon.1"

# A version bump that forgets the desktop files.
grep -q "<release version=\"$version\" date=\"[0-9-]*\"" "$data/$id.metainfo.xml" ||
    fail "the metainfo has no release $version"
grep -q "^\.TH QUILLON 1 .*\"Quillon $version\"" "$data/quillon.1" ||
    fail "the manual page's title line does not name Quillon $version"

# What --help names, the manual page explains (rendered unhyphenated).
LC_ALL=C.UTF-8 groff -man -Tutf8 -rHY=0 "$data/quillon.1" 2>/dev/null | sed 's/.\x08//g' >"$scratch/man.txt"
"$quillon" --help >"$scratch/help.txt" || fail "quillon --help ended with status $?"
words=$(grep -oE -- '(^|[ ,])--?[a-z][a-z-]*|\b[A-Z][A-Z0-9]*_[A-Z0-9_]+\b' "$scratch/help.txt" |
    sed 's/^[ ,]//' | sort -u)
[ -n "$words" ] || fail "found no option or variable in quillon --help"
for w in $words; do
    grep -qF -- "$w" "$scratch/man.txt" || fail "quillon --help names $w, the manual page does not"
done

[ $failed -eq 0 ] && echo "the desktop entry, the metainfo and the manual page are clean and agree with the program"
exit $failed
