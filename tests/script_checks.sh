# shellcheck shell=bash
# Shared by the script tests (sourced, not run): a temporary folder removed
# on exit, `fail` to count a failed check and go on, and `finish` to end the
# test with the count.
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# finish MESSAGE: exit 1 when a check failed, else print MESSAGE and exit 0.
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed"
        exit 1
    fi
    echo "$1"
    exit 0
}
