#!/usr/bin/env bash
# A study planned with --plan-only, its job list run by GNU parallel two at
# a time, then reported with --report-only: the CSV is byte for byte the
# local study's, in a folder whose name is full of blanks and shell
# characters, and the commands the plan prints work as printed. Planned
# again, with nothing left to run, it says so and writes no Slurm array.
# Arguments: kestrelfold-study path, source dir, build dir. Exit 77: no GNU parallel.
set -u
study=$1
source_dir=$2

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"
# shellcheck source=tests/study/planned_study.sh
. "$source_dir/tests/study/planned_study.sh"

# shellcheck source=tests/cluster/gnu_parallel.sh
. "$source_dir/tests/cluster/gnu_parallel.sh"
use_gnu_parallel

local_study
plan_study
quoted_jobs="'${dir//\'/\'\\\'\'}/jobs.txt'"  # each ' written '\''
[ "$parallel_command" = "parallel --jobs 2 < $quoted_jobs" ] || fail "printed: $parallel_command"

status=0
(cd "$tmp/elsewhere" && eval "$parallel_command" >"$tmp/parallel.out" 2>&1) || status=$?
[ "$status" -eq 0 ] || fail "parallel: status $status: $(cat "$tmp/parallel.out")"
[ -s "$tmp/parallel.out" ] && fail "parallel: the job lines printed $(cat "$tmp/parallel.out")"
report_as_printed "GNU parallel"
only_in_the_folder "GNU parallel"

# --- planned again: nothing left to run
status=0
(cd "$tmp/work" && "$study" --plan-only --meshes "$meshes" --dir "$odd_name" </dev/null >"$tmp/plan.out" \
    2>"$tmp/err") || status=$?
[ "$status" -eq 0 ] || fail "nothing to run: status $status: $(cat "$tmp/err")"
grep -qF "kestrelfold-study: every mesh of the study in $dir is complete: nothing to run" "$tmp/plan.out" ||
    fail "nothing to run: $(cat "$tmp/plan.out")"
grep -qF "$report_command" "$tmp/plan.out" || fail "nothing to run: no report command: $(cat "$tmp/plan.out")"
[ -s "$dir/jobs.txt" ] && fail "nothing to run: jobs.txt holds $(cat "$dir/jobs.txt")"
[ -e "$dir/slurm.sh" ] && fail "nothing to run: an array of no tasks in slurm.sh"

finish "GNU parallel study: all checks passed"
