# Helpers of the simulator's shell tests (sourced): a scratch registry, clean knobs, a tally.

passed=0
failed=0
scratch=$(mktemp -d "${TMPDIR:-/tmp}/ccsim-test.XXXXXX") || exit 2
trap 'rm -rf "$scratch"' EXIT
CCSIM_HOME=$scratch/home
CCSIM_REGION=Windows
CCSIM_HOST=vobhost1
CCSIM_OWNER=jdoe
export CCSIM_HOME CCSIM_REGION CCSIM_HOST CCSIM_OWNER
unset CCSIM_COST_START_MS CCSIM_COST_CMD_MS CCSIM_COST_TAG_MS CCSIM_FAIL CCSIM_DIE CCSIM_CRLF CCSIM_SHARED \
    CCSIM_OLD_DATES CCSIM_VOBS
cleartool -sim-help >/dev/null 2>&1 || { echo "the simulator is not first on PATH as cleartool" >&2; exit 2; }
simbin=$(dirname "$(command -v cleartool)")

# same NAME EXPECTED ACTUAL
same() {
    if [ "$2" = "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL: %s\n  expected: [%s]\n  actual:   [%s]\n' "$1" "$2" "$3" >&2
    fi
}

# ct ARGS...: runs cleartool into $scratch/out and $scratch/err, its status in $rc.
ct() {
    cleartool "$@" >"$scratch/out" 2>"$scratch/err"
    rc=$?
}

# same_out NAME: $scratch/out, view uuids replaced by UUID, against standard input.
same_out() {
    same "$1" "$(cat)" "$(sed -E 's/[0-9a-f]{8}\.[0-9a-f]{8}\.[0-9a-f]{4}\.([0-9a-f]{2}:){5}[0-9a-f]{2}/UUID/g' "$scratch/out")"
}

finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit $?
}
