# Shared by the install tests: the application id, fail() that notes a
# failure and goes on, and a scratch folder removed at the end.
id=example.quillon_works.quillon
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# same_files WHAT: the sorted lists $scratch/expected and $scratch/found are equal.
same_files() {
    cmp -s "$scratch/expected" "$scratch/found" && return
    fail "$1 differ from installed-files.txt (- missing, + not expected):"
    diff "$scratch/expected" "$scratch/found" | sed -n 's/^</  -/p; s/^>/  +/p'
}

# runs PROGRAM WHAT: PROGRAM is there and answers --version with "Quillon $version" and status 0.
runs() {
    [ -x "$1" ] || {
        fail "no executable $2"
        return 1
    }
    answer=$("$1" --version 2>&1)
    status=$?
    [ $status -eq 0 ] || fail "$2 --version ended with status $status"
    [ "$answer" = "Quillon $version" ] || fail "$2 --version said '$answer'"
}
