# Helpers shared by the simulator's shell tests (sourced, not run).
# Every test gets a scratch registry and a clean set of knobs, and ends with
# "N passed, N failed" and a non-zero status when anything failed.

passed=0
failed=0
scratch=$(mktemp -d "${TMPDIR:-/tmp}/ccsim-test.XXXXXX") || exit 2
trap 'rm -rf "$scratch"' EXIT

CCSIM_HOME=$scratch/home
CCSIM_REGION=Windows
CCSIM_HOST=vobhost1
CCSIM_OWNER=jdoe
export CCSIM_HOME CCSIM_REGION CCSIM_HOST CCSIM_OWNER
unset CCSIM_COST_START_MS CCSIM_COST_CMD_MS CCSIM_COST_TAG_MS CCSIM_FAIL CCSIM_DIE CCSIM_CRLF CCSIM_SHARED

if ! command -v cleartool >/dev/null 2>&1 || ! cleartool -sim-help >/dev/null 2>&1; then
    echo "the simulator is not first on PATH as cleartool" >&2
    exit 2
fi
simbin=$(dirname "$(command -v cleartool)")

pass() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAIL: $*" >&2
}

# check NAME COMMAND...: passes when the command succeeds.
check() {
    name=$1
    shift
    if "$@"; then pass; else fail "$name"; fi
}

# same NAME EXPECTED ACTUAL
same() {
    if [ "$2" = "$3" ]; then
        pass
    else
        fail "$1"
        printf '  expected: [%s]\n  actual:   [%s]\n' "$2" "$3" >&2
    fi
}

# same_file NAME EXPECTED_FILE ACTUAL_FILE
same_file() {
    if cmp -s "$2" "$3"; then
        pass
    else
        fail "$1"
        diff -u "$2" "$3" | sed 's/^/  /' >&2
    fi
}

# ct ARGS...: runs cleartool; stdout in $scratch/out, stderr in $scratch/err,
# the exit status in $rc.
ct() {
    cleartool "$@" >"$scratch/out" 2>"$scratch/err"
    rc=$?
}

# Replaces view uuids by UUID so that listings can be compared.
mask_uuids() {
    sed -E 's/[0-9a-f]{8}\.[0-9a-f]{8}\.[0-9a-f]{4}\.([0-9a-f]{2}:){5}[0-9a-f]{2}/UUID/g' "$@"
}

finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit $?
}
