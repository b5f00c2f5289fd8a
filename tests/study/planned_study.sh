# shellcheck shell=bash
# Shared by the tests that run a planned study's job list elsewhere than the
# study's own runner (sourced after tests/script_checks.sh, with $study the
# kestrelfold-study to test): the local study to compare with, the plan in a
# folder whose name is full of blanks and shell characters, the commands the
# plan prints, and the report they lead to.

# Set by the test that sources this, beside tmp and fail of script_checks.sh.
: "${study:?}" "${tmp:?}"

meshes=10:2:4
# Blanks, quotes, $, backquotes and shell operators; GNU parallel's {};
# Slurm's % and #; and a colon, which must not split the runs' PATH.
# shellcheck disable=SC2016 # the $ and the backquotes are the point
odd_name='a b/it'\''s $HOME `touch x` ;&|"{} 50%:#'
mkdir -p "$tmp/work" "$tmp/elsewhere" "$tmp/trap"

# A notepad on PATH that the runs must never start: theirs is DIR/bin/notepad.
printf '#!/bin/sh\n: >"%s/trapped"\n' "$tmp" >"$tmp/trap/notepad"
chmod +x "$tmp/trap/notepad"
export PATH="$tmp/trap:$PATH"

# local_study: the whole study on this machine, in $tmp/work/local.
local_study() {
    local s=0
    (cd "$tmp/work" && "$study" --meshes "$meshes" --dir local </dev/null >/dev/null 2>"$tmp/err") || s=$?
    [ "$s" -eq 0 ] || fail "local study: status $s: $(cat "$tmp/err")"
}

# plan_study: --plan-only of the same study into $tmp/work/$odd_name; sets
# dir (its absolute path), jobs (its number of job lines) and the commands
# printed: parallel_command, sbatch_command, report_command.
plan_study() {
    local s=0
    (cd "$tmp/work" && "$study" --plan-only --meshes "$meshes" --dir "$odd_name" --jobs 2 </dev/null \
        >"$tmp/plan.out" 2>"$tmp/err") || s=$?
    [ "$s" -eq 0 ] || fail "plan: status $s: $(cat "$tmp/err")"
    [ -s "$tmp/err" ] && fail "plan: $(cat "$tmp/err")"
    dir=$tmp/work/$odd_name
    jobs=$(wc -l <"$dir/jobs.txt")
    [ "$jobs" -eq 4 ] || fail "plan: $jobs job lines"
    parallel_command=$(sed -n 's/^    \(parallel .*\)/\1/p' "$tmp/plan.out")
    sbatch_command=$(sed -n 's/^    \(sbatch .*\)/\1/p' "$tmp/plan.out")
    # The report command names this kestrelfold-study by its absolute path.
    report_command=$(sed -n 's|^    \(/[^ ]*kestrelfold-study --report-only .*\)|\1|p' "$tmp/plan.out")
    if [ -z "$parallel_command" ] || [ -z "$sbatch_command" ] || [ -z "$report_command" ]; then
        fail "plan: the commands are not printed: $(cat "$tmp/plan.out")"
    fi
}

# without_times CSV: the CSV but for its column tcpu, each run's own
# processing time, which no two runs of a mesh need share.
without_times() {
    python3 -c 'import csv, sys
rows = list(csv.reader(open(sys.argv[1], newline="", encoding="utf-8")))
k = rows[0].index("tcpu")
csv.writer(sys.stdout, lineterminator="\n").writerows(r[:k] + r[k + 1:] for r in rows)' "$1"
}

# report_as_printed LABEL: the report command the plan printed, run from
# another folder: status 0, and the CSV of the local study byte for byte,
# but for the runs' times.
report_as_printed() {
    local s=0
    (cd "$tmp/elsewhere" && PATH="$(dirname "$study"):$PATH" eval "$report_command" </dev/null 2>"$tmp/err") ||
        s=$?
    [ "$s" -eq 0 ] || fail "$1: report: status $s: $(cat "$tmp/err")"
    without_times "$tmp/work/local/estudo.csv" >"$tmp/local.csv"
    without_times "$dir/estudo.csv" >"$tmp/planned.csv"
    cmp "$tmp/local.csv" "$tmp/planned.csv" || fail "$1: the CSV differs from the local study's"
}

# only_in_the_folder LABEL: nothing made beside the two studies, no command
# of the folder's name run, and no notepad from PATH started.
only_in_the_folder() {
    [ "$(find "$tmp/work" -mindepth 1 -maxdepth 1 | sort)" = "$(printf '%s\n' "$tmp/work/a b" "$tmp/work/local")" ] ||
        fail "$1: made $(find "$tmp/work" -mindepth 1 -maxdepth 1)"
    [ -z "$(find "$tmp" -name x)" ] || fail "$1: a command in the folder's name ran"
    [ -e "$tmp/trapped" ] && fail "$1: a run started the notepad found on PATH"
    [ -z "$(ls -A "$tmp/elsewhere")" ] || fail "$1: made $(ls -A "$tmp/elsewhere") in the folder it ran from"
}
