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
