#!/usr/bin/env bash
# Studies that do not go to plan: the finest mesh refused for memory (the
# others reported, status 1, the program's message named), without gnuplot
# (tables written, one line says the plots were skipped), a study stopped by
# a signal midway and run again (the finished meshes not rerun), and the job
# lines of a plan run twice at once (the second refused) or killed midway
# (reported as incomplete, never as a result).
# Arguments: kestrelfold-study path, source dir, build dir.
set -u
study=$1
source_dir=$2
build_dir=$3
program=$(dirname "$study")/kestrelfold

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"
mkdir -p "$tmp/work" "$tmp/nognuplot"

# A PATH without gnuplot: it holds only what the job lines call besides the
# shell, flock to lock the mesh's folder and rm to clear it.
no_gnuplot_path=$tmp/nognuplot
ln -s "$(command -v flock)" "$(command -v rm)" "$no_gnuplot_path/"
sleep_program=$(command -v sleep)

# --- memory: the finest mesh does not fit under an address-space limit
# (N = 10^8 holds some 800 MB, twice the limit of about 400 MB).
# The AddressSanitizer runtime reserves terabytes of address space at start,
# so an instrumented build cannot run under such a limit at all.
if grep -q '^KESTRELFOLD_SANITIZE:BOOL=ON' "$build_dir/CMakeCache.txt" 2>/dev/null; then
    echo "memory case skipped: address-space limits do not work under AddressSanitizer"
else
    status=0
    (cd "$tmp/work" && ulimit -v 400000 &&
        PATH=$no_gnuplot_path "$study" --meshes 10,20,40,100000000 --dir memoria </dev/null 2>"$tmp/err") || status=$?
    [ "$status" -eq 1 ] || fail "memory: status $status"
    grep -q '^kestrelfold-study: N = 100000000: no complete run: .*kestrelfold: insufficient virtual memory' "$tmp/err" ||
        fail "memory: the refused mesh is not named with the program's message: $(cat "$tmp/err")"
    grep -q '^kestrelfold-study: gnuplot not found on PATH: plots skipped' "$tmp/err" ||
        fail "no gnuplot: no line says the plots were skipped"
    grep -q '4 meshes: 4 run, 0 already complete, 1 without a result' "$tmp/err" || fail "memory: $(cat "$tmp/err")"
    [ "$(cut -d, -f2 "$tmp/work/memoria/estudo.csv" | tail -n +2 | sort -un | tr '\n' ' ')" = "10 20 40 " ] ||
        fail "memory: the CSV does not hold exactly the meshes that ran"
    # The reason in Portuguese, the program's own words quoted.
    grep -qF 'N = 100000000: sem a listagem saida.txt (a execução disse: kestrelfold: insufficient virtual memory)' \
        "$tmp/work/memoria/estudo.txt" || fail "memory: the text report does not name the refused mesh in Portuguese"
    [ -e "$tmp/work/memoria/erro.png" ] && fail "no gnuplot: a plot was made"
fi

# --- the files of a report are one set: replaced whole, or left as they were.
# Stand-ins for gnuplot, run in the report's own folder: one that draws
# every picture, one that fails halfway, one that is slow (it records its
# pid and its child's, opens erro.png as gnuplot would, and would draw late).
for plotter in good failing slow; do mkdir -p "$tmp/plotters/$plotter"; done
cat >"$tmp/plotters/good/gnuplot" <<'EOF'
#!/bin/sh
for picture in erro.png ordem.png erro.pdf ordem.pdf; do printf '%s of %s\n' "$picture" "$$" >"$picture"; done
EOF
cat >"$tmp/plotters/failing/gnuplot" <<'EOF'
#!/bin/sh
printf 'half' >erro.png
echo '"estudo.gnu" line 9: no such terminal' >&2
exit 1
EOF
cat >"$tmp/plotters/slow/gnuplot" <<EOF
#!/bin/sh
: >erro.png
'$sleep_program' 30 &
echo "\$!" >'$tmp/plotter-child'
echo "\$\$" >'$tmp/plotter'
wait
printf late >erro.png
EOF
chmod +x "$tmp"/plotters/*/gnuplot
plotting() { printf '%s:%s' "$tmp/plotters/$1" "$no_gnuplot_path"; }
set_dir=$tmp/work/estudo
(cd "$tmp/work" && PATH=$(plotting good) "$study" --meshes 10:2:3 </dev/null 2>"$tmp/err") ||
    fail "the study of the set: $(cat "$tmp/err")"
for f in estudo.csv estudo.txt estudo.tex estudo.gnu erro.png ordem.png erro.pdf ordem.pdf; do
    [ -s "$set_dir/$f" ] || fail "the study of the set: no $f"
done
cp -a "$set_dir" "$tmp/set.before"
# as_before LABEL [DIFF OPTIONS]: every file of the study's folder, byte for
# byte, and no other (but those the options leave out).
as_before() {
    diff -r "${@:2}" "$tmp/set.before" "$set_dir" >"$tmp/diff" 2>&1 || fail "$1: the folder changed: $(cat "$tmp/diff")"
}
restore() { rm -rf "$set_dir" && cp -a "$tmp/set.before" "$set_dir"; }

# A report of a list with nothing complete in the folder (another fonte, a
# mistyped list, a forgotten --dir) writes nothing: status 1, one line.
while IFS='|' read -r label args; do
    s=0
    # shellcheck disable=SC2086 # the arguments are words
    (cd "$tmp/work" && PATH=$(plotting good) "$study" --report-only $args </dev/null 2>"$tmp/err") || s=$?
    [ "$s" -eq 1 ] || fail "report of nothing, $label: status $s"
    grep -qxF "kestrelfold-study: no mesh of the list has a complete run in $set_dir: no report written, every file \
there is as it was" "$tmp/err" || fail "report of nothing, $label: $(cat "$tmp/err")"
    as_before "report of nothing, $label"
done <<'EOF'
another fonte|--fonte 3 --meshes 10:2:3 --dir estudo
a mistyped list|--meshes 11,21,41 --dir estudo
a forgotten --dir|--fonte 2 --meshes 10:2:3
EOF

# Without gnuplot, or with one that fails, the new tables replace the old
# ones and the old pictures go: none stays beside tables it does not show.
while IFS='|' read -r label plotter status said; do
    restore
    s=0
    (cd "$tmp/work" && PATH=$(plotting "$plotter") "$study" --report-only --meshes 10:2:3 </dev/null 2>"$tmp/err") ||
        s=$?
    [ "$s" -eq "$status" ] || fail "$label: status $s"
    grep -qF "kestrelfold-study: $said" "$tmp/err" || fail "$label: $(cat "$tmp/err")"
    grep -qF "the plots of an earlier report are removed" "$tmp/err" || fail "$label: $(cat "$tmp/err")"
    for f in erro.png ordem.png erro.pdf ordem.pdf; do [ -e "$set_dir/$f" ] && fail "$label: $f is left"; done
    cmp -s "$set_dir/estudo.csv" "$tmp/set.before/estudo.csv" || fail "$label: the CSV differs"
    [ -n "$(find "$set_dir" -maxdepth 1 -name '.estudo-*')" ] && fail "$label: the staging folder is left"
done <<'EOF'
no gnuplot|none|0|gnuplot not found on PATH: plots skipped
a failing gnuplot|failing|1|gnuplot failed on estudo.gnu (status 1): no plots
EOF
grep -qF 'no such terminal' "$tmp/err" || fail "a failing gnuplot: its words are not passed on: $(cat "$tmp/err")"

# Interrupted while gnuplot draws (SIGINT, as a Ctrl-C; a background job
# starts with it ignored, env gives it back), in a report alone and in a
# whole study: gnuplot and what it started end with the study, one line
# names the signal, the study ends by it, and the earlier report stays.
while IFS='|' read -r label args planned said; do
    restore
    rm -f "$tmp/plotter" "$tmp/plotter-child"
    # shellcheck disable=SC2086 # the arguments are words
    (cd "$tmp/work" && PATH=$(plotting slow) exec "$(command -v env)" --default-signal=INT "$study" $args \
        </dev/null 2>"$tmp/err") &
    pid=$!
    for _ in $(seq 500); do
        if [ -s "$tmp/plotter" ] || ! kill -0 "$pid" 2>/dev/null; then break; fi
        sleep 0.01
    done
    [ -s "$tmp/plotter" ] || fail "$label: the slow gnuplot did not start: $(cat "$tmp/err")"
    kill -INT "$pid"
    s=0
    wait "$pid" || s=$?
    [ "$s" -eq 130 ] || fail "$label: status $s, not ended by SIGINT"
    grep -qxF "kestrelfold-study: interrupted by SIGINT: $said" "$tmp/err" || fail "$label: $(cat "$tmp/err")"
    [ "$(wc -l <"$tmp/err")" -eq 1 ] || fail "$label: more than one line: $(cat "$tmp/err")"
    for process in "$(cat "$tmp/plotter")" "$(cat "$tmp/plotter-child")"; do
        for _ in $(seq 200); do
            kill -0 "$process" 2>/dev/null || break
            sleep 0.01
        done
        if kill -0 "$process" 2>/dev/null; then
            fail "$label: a process of gnuplot's is left running"
            kill "$process"
        fi
    done
    # A whole study plans first: its job list is its own, not the report's.
    if [ "$planned" = planned ]; then as_before "$label" -x jobs.txt -x slurm.sh; else as_before "$label"; fi
done <<EOF
a report alone|--report-only --meshes 10:2:3||no report written, the files of an earlier one in $set_dir are as they were; to write it: $study --report-only --fonte 0 --meshes 10,20,40 --dir $set_dir
a whole study|--meshes 10:2:3|planned|3 of 3 meshes complete in $set_dir, no report written (an earlier one is as it was); to go on: $study --fonte 0 --meshes 10,20,40 --dir $set_dir
EOF

# --- a study stopped by SIGTERM while a run goes on, then run again.
# The study finds the kestrelfold beside it: a stand-in that logs the mesh it
# runs and then runs the real program; on the mesh STOP_AT it signals the
# study (its parent, or its job line's) and waits to be stopped in turn.
# Only the shell's own commands and absolute paths: PATH holds no other
# tools. kestrelfold-quad beside it is the real one.
mkdir -p "$tmp/inst"
cp "$study" "$tmp/inst/"
ln -s "$(dirname "$study")/kestrelfold-quad" "$tmp/inst/"
cat >"$tmp/inst/kestrelfold" <<EOF
#!/bin/sh
{ read -r _; read -r _; read -r N _; } <Kestrelfold.in
echo "\$N" >>'$tmp/runs'
if [ "\$N" = "\${STOP_AT:-}" ]; then
    echo "\$\$" >'$tmp/sleeper'
    p=\$PPID
    read -r name </proc/\$p/comm
    [ "\$name" = kestrelfold-stu ] || read -r _ _ _ p _ </proc/\$p/stat
    kill -TERM "\$p"
    exec '$sleep_program' 30
fi
exec '$program' "\$@"
EOF
chmod +x "$tmp/inst/kestrelfold"

status=0
(cd "$tmp/work" && STOP_AT=40 PATH=$no_gnuplot_path "$tmp/inst/kestrelfold-study" --meshes 10:2:6 --dir parado \
    --jobs 1 </dev/null 2>"$tmp/err") || status=$?
[ "$status" -eq 143 ] || fail "stopped study: status $status, not ended by SIGTERM"
# One line: the signal, the meshes complete, and the command that goes on
# (this kestrelfold-study by its absolute path, never --force).
resume="$tmp/inst/kestrelfold-study --fonte 0 --meshes 10,20,40,80,160,320 --dir $tmp/work/parado"
grep -qxF "kestrelfold-study: interrupted by SIGTERM: 3 of 6 meshes complete in $tmp/work/parado, no report written \
(an earlier one is as it was); to go on: $resume" "$tmp/err" || fail "stopped study: $(cat "$tmp/err")"
[ "$(wc -l <"$tmp/err")" -eq 1 ] || fail "stopped study: more than one line: $(cat "$tmp/err")"
[ "$(tr '\n' ' ' <"$tmp/runs")" = "320 160 80 40 " ] || fail "stopped study ran $(tr '\n' ' ' <"$tmp/runs")"
sleeper=$(cat "$tmp/sleeper")
if kill -0 "$sleeper" 2>/dev/null; then
    fail "the run going on was not stopped"
    kill "$sleeper"
fi
[ -e "$tmp/work/parado/estudo.csv" ] && fail "a stopped study wrote a report"
touch -d '2001-01-01' "$tmp/work/parado"/N*/saida.txt.Vantreuse

rm "$tmp/runs"
status=0
(cd / && PATH=$no_gnuplot_path eval "$resume --jobs 1" </dev/null 2>"$tmp/err") || status=$?
[ "$status" -eq 0 ] || fail "study run again: status $status: $(cat "$tmp/err")"
[ "$(tr '\n' ' ' <"$tmp/runs")" = "40 20 10 " ] || fail "study run again ran $(tr '\n' ' ' <"$tmp/runs")"
grep -q '6 meshes: 3 run, 3 already complete, 0 without a result' "$tmp/err" || fail "run again: $(cat "$tmp/err")"
[ "$(find "$tmp/work/parado" -name saida.txt.Vantreuse ! -newermt '2002-01-01' | wc -l)" -eq 3 ] ||
    fail "the meshes finished before the stop were run again"
[ "$(tail -n +2 "$tmp/work/parado/estudo.csv" | wc -l)" -eq 18 ] || fail "the report of the resumed study is not whole"

# --- a planned study whose job lines are run by hand, as a cluster would:
# the finest mesh (2*10^7, some 160 MB) still solves when its listing appears.
big=20000000
meshes=10,20,$big
plan=$tmp/work/plano
(cd "$tmp/work" && "$study" --plan-only --meshes "$meshes" --dir plano </dev/null >/dev/null 2>"$tmp/err") ||
    fail "plan: $(cat "$tmp/err")"
folder_of() { printf '%s/N%010d' "$plan" "$1"; }
line_of() { grep -F "$(folder_of "$1")'" "$plan/jobs.txt"; }

# An editor for the runs that holds the run that claims $tmp/hold (one run
# only) at its start: it says "held" into the run's log, marks $tmp/held and
# waits for $tmp/go. The plan writes its own editor: this one goes in after
# each plan.
hold_runs() {
    cat >"$plan/bin/notepad" <<EOF
#!/bin/sh
[ "\$1" = Kestrelfold.in ] && mv '$tmp/hold' '$tmp/claimed' 2>/dev/null || exit 0
echo held
: >'$tmp/held'
while [ ! -e '$tmp/go' ]; do sleep 0.02; done
EOF
}
hold_runs

# run_line N: the job line of N, as it stands; sets status.
run_line() {
    status=0
    sh -c "$(line_of "$1")" </dev/null 2>"$tmp/line.err" || status=$?
}
# start_held N: the line of N in the background, held at its start; sets pid.
# The line leads a process group of its own, as every runner starts it: a
# signal to the group reaches the program it runs.
start_held() {
    rm -f "$tmp/held" "$tmp/go"
    touch "$tmp/hold"
    setsid sh -c "$(line_of "$1")" </dev/null &
    pid=$!
    until [ -e "$tmp/held" ] || ! kill -0 "$pid" 2>/dev/null; do sleep 0.02; done
    [ -e "$tmp/held" ] || fail "the run of N = $1 did not start"
}
# release N: the held run goes on; waits for it (sets status) and for the
# editor, which holds the mesh's lock as long as it lives.
release() {
    touch "$tmp/go"
    status=0
    wait "$pid" || status=$?
    while flock -n -E 75 "$(folder_of "$1")/kestrelfold.lock" true; [ $? -eq 75 ]; do sleep 0.02; done
}
# report_lacks N LABEL MESHES: --report-only names N without a complete
# run, ends with status 1, and its CSV holds exactly MESHES.
report_lacks() {
    local s=0
    (cd "$tmp/work" && "$study" --report-only --meshes "$meshes" --dir plano </dev/null 2>"$tmp/err") || s=$?
    [ "$s" -eq 1 ] || fail "$2: --report-only status $s"
    grep -q "^kestrelfold-study: N = $1: no complete run: " "$tmp/err" || fail "$2: N = $1 not named: $(cat "$tmp/err")"
    [ "$(cut -d, -f2 "$plan/estudo.csv" | tail -n +2 | sort -un | tr '\n' ' ')" = "$3" ] ||
        fail "$2: the CSV holds the meshes $(cut -d, -f2 "$plan/estudo.csv" | tail -n +2 | sort -un | tr '\n' ' ')"
}

for N in 10 20; do
    run_line "$N"
    [ "$status" -eq 0 ] || fail "the line of N = $N: status $status: $(cat "$tmp/line.err")"
done
report_lacks "$big" "before the finest runs" "10 20 "

# Two runs of one mesh at once: the second is refused and touches nothing,
# and a plan will not clear the folder meanwhile.
start_held 20
run_line 20
[ "$status" -eq 75 ] || fail "a second run of a mesh going on: status $status"
grep -qxF "kestrelfold-study: $(folder_of 20): another run of this mesh holds kestrelfold.lock: this one is not run" \
    "$tmp/line.err" || fail "a second run of a mesh going on: $(cat "$tmp/line.err")"
[ "$(cat "$(folder_of 20)/kestrelfold.log")" = held ] || fail "the refused run touched the log of the one going on"
s=0
(cd "$tmp/work" && "$study" --plan-only --meshes "$meshes" --dir plano </dev/null >/dev/null 2>"$tmp/err") || s=$?
[ "$s" -eq 1 ] || fail "a plan while a run goes on: status $s"
grep -q "^kestrelfold-study: N = 20: a run of this mesh is going on in .*/N0000000020 (it holds kestrelfold.lock)" \
    "$tmp/err" || fail "a plan while a run goes on: $(cat "$tmp/err")"
hold_runs
release 20
[ "$status" -eq 0 ] || fail "the run let go: status $status"

# A line run again over a complete run and killed at its start, and a run
# killed while it solves: incomplete, never the earlier or a partial result.
for signal in KILL TERM; do
    start_held 20
    kill "-$signal" -- "-$pid"
    release 20
    [ "$status" -ne 0 ] || fail "SIG$signal at the start: the run ended with status 0"
    report_lacks 20 "SIG$signal at the start of a run over a complete one" "10 "
    run_line 20

    rm -f "$(folder_of "$big")/saida.txt"  # what the last kill left
    setsid sh -c "$(line_of "$big")" </dev/null &
    pid=$!
    until [ -e "$(folder_of "$big")/saida.txt" ] || ! kill -0 "$pid" 2>/dev/null; do sleep 0.01; done
    [ -e "$(folder_of "$big")/saida.txt.Vantreuse" ] && fail "SIG$signal while solving: came after the run wrote its results"
    kill "-$signal" -- "-$pid"
    status=0
    wait "$pid" || status=$?
    [ "$status" -ne 0 ] || fail "SIG$signal while solving: the run ended with status 0"
    report_lacks "$big" "SIG$signal while solving" "10 20 "
done
run_line "$big"
s=0
(cd "$tmp/work" && "$study" --report-only --meshes "$meshes" --dir plano </dev/null 2>"$tmp/err") || s=$?
[ "$s" -eq 0 ] || fail "every line run: --report-only status $s: $(cat "$tmp/err")"

# No study in the folder given: one line, status 1, nothing made.
s=0
(cd "$tmp/work" && "$study" --report-only --meshes "$meshes" --dir nenhum </dev/null 2>"$tmp/err") || s=$?
[ "$s" -eq 1 ] || fail "report of no study: status $s"
grep -q "^kestrelfold-study: no study in nenhum: " "$tmp/err" || fail "report of no study: $(cat "$tmp/err")"
[ -e "$tmp/work/nenhum" ] && fail "report of no study: the folder was made"

finish "study faults: all checks passed"
