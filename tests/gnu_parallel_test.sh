#!/usr/bin/env bash
# GNU parallel runs a job list (one complete /bin/sh command a line) two at
# a time: every line runs once, in /bin/sh when PARALLEL_SHELL says so,
# never more than two at once; a failing line leaves the others to run and
# makes the exit status the number of lines that failed.
# Arguments: program path, source dir, build dir. Exit 77: no GNU parallel.
set -u
source_dir=$2

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"

# shellcheck source=tests/cluster/gnu_parallel.sh
. "$source_dir/tests/cluster/gnu_parallel.sh"
use_gnu_parallel

# run_list NAME LINE...: writes the job list $tmp/NAME/jobs.txt, runs it with
# parallel --jobs 2 from that folder; sets status.
run_list() {
    local dir=$tmp/$1
    shift
    mkdir -p "$dir"
    printf '%s\n' "$@" >"$dir/jobs.txt"
    status=0
    (cd "$dir" && parallel --jobs 2 <jobs.txt >out 2>err) || status=$?
}

# run_line N: a job line that notes its start and end in log (one short
# write each, so lines from two jobs never mix) and spends 2 s between.
run_line() {
    printf "echo start >>log; sleep 2; printf '%%s\\\\n' \"\$0\" >'out %s'; echo end >>log" "$1"
}

# --- three lines, two at a time, each once, in /bin/sh
run_list plain "$(run_line 1)" "$(run_line 2)" "$(run_line 3)"
[ "$status" -eq 0 ] || fail "plain list: status $status: $(cat "$tmp/plain/err")"
for n in 1 2 3; do
    [ "$(cat "$tmp/plain/out $n" 2>/dev/null)" = /bin/sh ] ||
        fail "plain list: line $n wrote '$(cat "$tmp/plain/out $n" 2>&1)'"
done
# The most jobs running at once, from the order of their starts and ends.
most=$(awk '/start/ { n++; if (n > m) m = n } /end/ { n-- } END { print m }' "$tmp/plain/log")
[ "$most" = 2 ] || fail "plain list: $most jobs at once, expected 2: $(cat "$tmp/plain/log")"
[ "$(grep -c start "$tmp/plain/log")" -eq 3 ] || fail "plain list: $(cat "$tmp/plain/log")"

# --- a failing line: the others still run; the status counts the failures
run_list failing "touch one" "exit 5" "touch three" "false"
[ "$status" -eq 2 ] || fail "failing lines: status $status, expected 2"
for f in one three; do
    [ -f "$tmp/failing/$f" ] || fail "failing lines: '$f' not made"
done

finish "GNU parallel: all checks passed"
