#!/usr/bin/env bash
# The project's shell scripts (the adapters, the tools, the CI script, the
# script tests with their libraries and the fuzz runner) pass shellcheck
# without a finding.
# Arguments: program path, source dir, build dir. Exit 77: shellcheck missing.
set -u
source_dir=$2

if ! command -v shellcheck >/dev/null 2>&1; then
    echo "SKIP: shellcheck is not installed"
    exit 77
fi

cd "$source_dir" || exit 1
shopt -s nullglob
scripts=(tools/desktop/* tools/batch/* tools/*.sh tools/windows/*.sh tests/*.sh tests/cluster/*.sh tests/study/*.sh
         tests/windows/*.sh tests/package/*.sh fuzz/*.sh .ci/run)
if [ "${#scripts[@]}" -lt 8 ]; then
    echo "FAIL: only ${#scripts[@]} scripts found: ${scripts[*]}"
    exit 1
fi
echo "checking ${#scripts[@]} scripts"
shellcheck --external-sources "${scripts[@]}"
