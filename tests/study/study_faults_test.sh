#!/usr/bin/env bash
# Studies that do not go to plan: the finest mesh refused for memory (the
# others reported, status 1, the program's message named), without gnuplot
# (tables written, one line says the plots were skipped), and a study
# stopped by a signal midway and run again (the finished meshes not rerun).
# Arguments: kestrelfold-study path, source dir, build dir.
set -u
study=$1
source_dir=$2
build_dir=$3
program=$(dirname "$study")/kestrelfold

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"
mkdir -p "$tmp/work" "$tmp/nognuplot"

# A PATH without gnuplot: the runs need nothing from PATH but the shell.
no_gnuplot_path=$tmp/nognuplot

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
    grep -q 'N = 100000000: .*insufficient virtual memory' "$tmp/work/memoria/estudo.txt" ||
        fail "memory: the text report does not name the refused mesh"
    [ -e "$tmp/work/memoria/erro.png" ] && fail "no gnuplot: a plot was made"
fi

# --- a study stopped by SIGTERM while a run goes on, then run again.
# The study finds the kestrelfold beside it: a stand-in that logs the mesh it
# runs and then runs the real program; on the mesh STOP_AT it signals the
# study (its parent) and waits to be stopped in turn. Only the shell's own
# commands and absolute paths: PATH holds no tools.
mkdir -p "$tmp/inst"
cp "$study" "$tmp/inst/"
sleep_program=$(command -v sleep)
cat >"$tmp/inst/kestrelfold" <<EOF
#!/bin/sh
{ read -r _; read -r _; read -r N _; } <Kestrelfold.in
echo "\$N" >>'$tmp/runs'
if [ "\$N" = "\${STOP_AT:-}" ]; then
    echo "\$\$" >'$tmp/sleeper'
    kill -TERM "\$PPID"
    exec '$sleep_program' 30
fi
exec '$program' "\$@"
EOF
chmod +x "$tmp/inst/kestrelfold"

status=0
(cd "$tmp/work" && STOP_AT=40 PATH=$no_gnuplot_path "$tmp/inst/kestrelfold-study" --meshes 10:2:6 --dir parado \
    --jobs 1 </dev/null 2>"$tmp/err") || status=$?
[ "$status" -eq 143 ] || fail "stopped study: status $status, not ended by SIGTERM"
grep -q 'stopped by signal 15' "$tmp/err" || fail "stopped study: $(cat "$tmp/err")"
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
(cd "$tmp/work" && PATH=$no_gnuplot_path "$tmp/inst/kestrelfold-study" --meshes 10:2:6 --dir parado --jobs 1 \
    </dev/null 2>"$tmp/err") || status=$?
[ "$status" -eq 0 ] || fail "study run again: status $status: $(cat "$tmp/err")"
[ "$(tr '\n' ' ' <"$tmp/runs")" = "40 20 10 " ] || fail "study run again ran $(tr '\n' ' ' <"$tmp/runs")"
grep -q '6 meshes: 3 run, 3 already complete, 0 without a result' "$tmp/err" || fail "run again: $(cat "$tmp/err")"
[ "$(find "$tmp/work/parado" -name saida.txt.Vantreuse ! -newermt '2002-01-01' | wc -l)" -eq 3 ] ||
    fail "the meshes finished before the stop were run again"
[ "$(tail -n +2 "$tmp/work/parado/estudo.csv" | wc -l)" -eq 18 ] || fail "the report of the resumed study is not whole"

finish "study faults: all checks passed"
