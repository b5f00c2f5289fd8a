#!/usr/bin/env bash
# For a test that runs job lists through GNU parallel; source it after
# tests/script_checks.sh (it needs $tmp).
#
# use_gnu_parallel: exits 77 (skipped) unless `parallel` is GNU parallel
# (moreutils ships another program of the same name, with other options);
# then gives parallel a home of its own in $tmp (no user's ~/.parallel
# config or PARALLEL options; its working files stay in the test's folder)
# and makes it run each line with /bin/sh, as every other runner of a job
# list does.
# shellcheck disable=SC2154 # $tmp is the test's folder, set by script_checks.sh
use_gnu_parallel() {
    if ! parallel --version 2>/dev/null | grep -q '^GNU parallel'; then
        echo "SKIP: GNU parallel is not installed (Debian package parallel)"
        exit 77
    fi
    mkdir -p "$tmp/home"
    unset PARALLEL
    export HOME=$tmp/home PARALLEL_SHELL=/bin/sh
}
