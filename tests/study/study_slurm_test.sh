#!/usr/bin/env bash
# A study planned with --plan-only and its DIR/slurm.sh: every task refuses
# a job list other than its own and a task number that names no line; the
# array submitted with sbatch --wait to a one-node Slurm cluster of the
# test's own, then --report-only, gives the local study's CSV byte for byte,
# each task's output in the study's folder, whose name is full of blanks
# and shell characters. Where no cluster can start, the test says why, runs
# slurm.sh under bash once for each task instead, and is skipped (77).
# Arguments: kestrelfold-study path, source dir, build dir.
set -u
study=$1
source_dir=$2

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"
# shellcheck source=tests/study/planned_study.sh
. "$source_dir/tests/study/planned_study.sh"
# shellcheck source=tests/cluster/slurm_cluster.sh
. "$source_dir/tests/cluster/slurm_cluster.sh"

local_study
plan_study
script=$dir/slurm.sh
quoted_script="'${script//\'/\'\\\'\'}'"  # each ' written '\''
[ "$sbatch_command" = "sbatch $quoted_script" ] || fail "printed: $sbatch_command"
grep -qx '#SBATCH --array=1-4' "$script" || fail "slurm.sh: no array of the 4 job lines"

# task ID: slurm.sh run by bash as task ID (unset when empty); sets status.
task() {
    status=0
    if [ -n "$1" ]; then
        (cd "$tmp/elsewhere" && SLURM_ARRAY_TASK_ID=$1 bash "$script" </dev/null >"$tmp/task.out" 2>&1) || status=$?
    else
        (cd "$tmp/elsewhere" && unset SLURM_ARRAY_TASK_ID && bash "$script" </dev/null >"$tmp/task.out" 2>&1) ||
            status=$?
    fi
}

# --- tasks refused, nothing run: task ID | what the message says
cp "$dir/jobs.txt" "$tmp/jobs.txt"
echo "exit 0" >>"$dir/jobs.txt"
task 1
[ "$status" -eq 2 ] || fail "another job list: status $status"
grep -qF "jobs.txt is not the job list this script was written for" "$tmp/task.out" ||
    fail "another job list: $(cat "$tmp/task.out")"
cp "$tmp/jobs.txt" "$dir/jobs.txt"
cases=(
    "|SLURM_ARRAY_TASK_ID='' is no line number"
    "1x|SLURM_ARRAY_TASK_ID='1x' is no line number"
    "0|has no line 0"
    "5|has no line 5"
)
for c in "${cases[@]}"; do
    task "${c%%|*}"
    [ "$status" -eq 2 ] || fail "task '${c%%|*}': status $status"
    grep -qF "${c#*|}" "$tmp/task.out" || fail "task '${c%%|*}': $(cat "$tmp/task.out")"
done
[ -n "$(find "$dir" -name kestrelfold.log)" ] && fail "a refused task ran a mesh"

# --- the array on a one-node cluster, or else each task under bash
if slurm_cluster_start; then
    status=0
    job=$(cd "$tmp/elsewhere" && eval "${sbatch_command/sbatch/sbatch --wait --parsable}" 2>"$tmp/sbatch.err") ||
        status=$?
    if [ "$status" -ne 0 ]; then
        fail "sbatch --wait: status $status: $(cat "$tmp/sbatch.err") $(cat "$dir"/slurm-*.out 2>/dev/null)"
    fi
    for id in 1 2 3 4; do
        [ -f "$dir/slurm-${job}_$id.out" ] || fail "no slurm-${job}_$id.out in the study's folder"
    done
    slurm_cluster_stop
    report_as_printed "Slurm array"
    only_in_the_folder "Slurm array"
    finish "Slurm study: all checks passed; the array ran on a one-node Slurm cluster (sbatch --wait)"
fi

for id in 1 2 3 4; do
    task "$id"
    [ "$status" -eq 0 ] || fail "task $id under bash: status $status: $(cat "$tmp/task.out")"
done
report_as_printed "slurm.sh under bash"
only_in_the_folder "slurm.sh under bash"
if [ "$failures" -eq 0 ]; then
    echo "SKIP: no one-node Slurm on this machine (reason above); slurm.sh ran under bash once for each task instead"
    exit 77
fi
finish "slurm.sh under bash"
