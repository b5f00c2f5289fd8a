#!/usr/bin/env bash
# Whole studies of the real program in a temporary folder: the runs, their
# folders and job lines, the CSV read back by Python's csv module against the
# runs' own data files, the text tables, the plots by the real gnuplot, a
# study run again or forced, exact quantities, a folder name full of shell
# characters, and the command line's refusals.
# Arguments: kestrelfold-study path, source dir, build dir.
set -u
study=$1
source_dir=$2
program=$(dirname "$study")/kestrelfold

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"

# run_study DIR ARGS...: the study in $tmp/work, its stdout, stderr and
# status kept in $tmp/out, $tmp/err and $status.
run_study() {
    status=0
    (cd "$tmp/work" && "$study" "$@" </dev/null >"$tmp/out" 2>"$tmp/err") || status=$?
}
mkdir -p "$tmp/work"

# check_png FILE: a PNG file holding one picture.
check_png() {
    [ "$(od -An -tx1 -N8 "$1" 2>/dev/null | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$1 is not a PNG file"
    [ "$(grep -a -o IEND "$1" | wc -l)" -eq 1 ] || fail "$1 holds more than one picture"
}

# csv_check DIR PYTHON: runs the Python lines with `rows` (the CSV's rows as
# dicts), `header`, `vantreuse(N)` (the four doubles of that mesh's data file)
# and `fail(message)`; prints its failures.
csv_check() {
    python3 - "$1" <<EOF2
import csv, sys
dir = sys.argv[1]
failures = []
def fail(message): failures.append(message)
def vantreuse(N):
    with open('%s/N%010d/saida.txt.Vantreuse' % (dir, N), 'rb') as f:
        return [float(line[2:42]) for line in f.read().split(b'\r\n')[:4]]
with open(dir + '/estudo.csv', newline='', encoding='utf-8') as f:
    reader = csv.reader(f)
    header = next(reader)
    rows = [dict(zip(header, r)) for r in reader]
$2
for message in failures: print(message)
EOF2
}

# --- fonte 0 on 10:2:6
run_study --fonte 0 --meshes 10:2:6 --dir estudo
dir=$tmp/work/estudo
[ "$status" -eq 0 ] || fail "study ended with status $status: $(cat "$tmp/err")"
[ "$(wc -l <"$tmp/err")" -eq 1 ] || fail "more than the summary line on stderr: $(cat "$tmp/err")"
grep -q '^kestrelfold-study: 6 meshes: 6 run, 0 already complete, 0 without a result' "$tmp/err" ||
    fail "summary: $(cat "$tmp/err")"
[ -s "$tmp/out" ] && fail "the study wrote to stdout"
for N in 10 20 40 80 160 320; do
    folder=$dir/$(printf 'N%010d' "$N")
    for f in Kestrelfold.in saida.txt saida.txt.Vantreuse kestrelfold.log; do
        [ -f "$folder/$f" ] || fail "$folder/$f missing"
    done
    [ "$(sed -n 3p "$folder/Kestrelfold.in" | cut -d' ' -f1)" = "$N" ] || fail "input of N = $N"
done

# The job list: finest first, each line naming the program by its absolute path.
[ "$(wc -l <"$dir/jobs.txt")" -eq 6 ] || fail "jobs.txt does not hold 6 lines"
head -n 1 "$dir/jobs.txt" | grep -qF "N0000000320" || fail "the first job is not the finest mesh"
tail -n 1 "$dir/jobs.txt" | grep -qF "N0000000010" || fail "the last job is not the coarsest mesh"
grep -qvF "'$(cd "$(dirname "$program")" && pwd)/kestrelfold'" "$dir/jobs.txt" &&
    fail "a job line does not name $program by its absolute path"

# A job line run by hand redoes its mesh, bit for bit.
line=$(tail -n 1 "$dir/jobs.txt")
cp "$dir/N0000000010/saida.txt.Vantreuse" "$tmp/first.Vantreuse"
rm "$dir/N0000000010/saida.txt" "$dir/N0000000010/saida.txt.Vantreuse"
(cd / && env -i PATH=/usr/bin:/bin /bin/sh -c "$line") || fail "the job line failed when run by hand"
cmp -s "$dir/N0000000010/saida.txt.Vantreuse" "$tmp/first.Vantreuse" || fail "the job line by hand gave another data file"

# The CSV: its columns, the runs' values bit for bit, orders within 0.01 of 2.
problems=$(csv_check "$dir" "
columns = 'qoi,N,h,value,exact,error,p_E,p_U,R,extrapolated,U,effectivity,GCI,roundoff'.split(',')
if header[:len(columns)] != columns: fail('header %s' % header)
if [(r['qoi'], r['N']) for r in rows] != [(q, str(N)) for q in ('T_meio', 'T_media', 'inclinacao') for N in (10, 20, 40, 80, 160, 320)]:
    fail('rows are not the three quantities, each coarse to fine')
for r in rows:
    N = int(r['N'])
    v = vantreuse(N)
    k = {'T_meio': 1, 'T_media': 2, 'inclinacao': 3}[r['qoi']]
    if float(r['h']) != v[0] or float(r['value']) != v[k]: fail('%s N = %d differs from the data file' % (r['qoi'], N))
    if float(r['exact']) - float(r['value']) != float(r['error']): fail('%s N = %d: error is not exact - value' % (r['qoi'], N))
    if r['roundoff'] != '0': fail('%s N = %d marked for round-off' % (r['qoi'], N))
    if N == 10:
        if any(r[c] for c in ('p_E', 'p_U', 'R', 'extrapolated', 'U', 'effectivity', 'GCI')): fail('estimates on the first mesh')
        continue
    # The one-sided slope's error has an h^3 term besides h^2: its orders
    # approach 2 from below, within 0.01 on the finest mesh.
    tolerance = 0.01 if r['qoi'] != 'inclinacao' or N == 320 else 0.06
    if abs(float(r['p_E']) - 2) > tolerance: fail('%s N = %d: p_E = %s' % (r['qoi'], N, r['p_E']))
    if N >= 40 and abs(float(r['p_U']) - 2) > tolerance: fail('%s N = %d: p_U = %s' % (r['qoi'], N, r['p_U']))
    if N >= 40 and not 0 < float(r['R']) < 1: fail('%s N = %d: R = %s' % (r['qoi'], N, r['R']))
    if abs(float(r['effectivity']) - 1) > 0.05: fail('%s N = %d: U/E = %s' % (r['qoi'], N, r['effectivity']))
    if not float(r['GCI']) > abs(float(r['error'])): fail('%s N = %d: GCI below the error' % (r['qoi'], N))
")
[ -z "$problems" ] || fail "CSV: $problems"

# The text tables.
for text in '=== T(1/2) ===' '=== média de T ===' '=== inclinação em x = 1 ===' 'malha ótima' \
    'Extrapolação repetida de Richardson (ordens 2, 4, 6' 'Extrapolação repetida de Richardson (ordens 2, 3, 4' \
    'veredito: convergência monótona; ordem observada 2.00'; do
    grep -qF "$text" "$dir/estudo.txt" || fail "estudo.txt lacks '$text'"
done
iconv -f UTF-8 -t UTF-8 "$dir/estudo.txt" >/dev/null 2>&1 || fail "estudo.txt is not UTF-8"
grep -qiE 'nan|inf' "$dir/estudo.csv" "$dir/estudo.txt" && fail "a NaN or infinity is printed"

if command -v gnuplot >/dev/null 2>&1; then
    check_png "$dir/erro.png"
    check_png "$dir/ordem.png"
    # The script draws again as it stands, in the study's folder, without a word.
    rm "$dir/erro.png" "$dir/ordem.png"
    (cd "$dir" && LC_ALL=C.UTF-8 gnuplot estudo.gnu </dev/null >"$tmp/gnuplot.out" 2>&1) || fail "estudo.gnu fails"
    [ -s "$tmp/gnuplot.out" ] && fail "gnuplot says: $(cat "$tmp/gnuplot.out")"
    check_png "$dir/erro.png"
fi

# --- the split by kestrelfold-quad's runs, in each mesh's folder quad/.
for N in 10 320; do
    [ -f "$dir/$(printf 'N%010d' "$N")/quad/saida.txt.Vantreuse" ] || fail "no quad run of N = $N"
done
head -n 1 "$dir/jobs.txt" | grep -qF "/kestrelfold-quad'" || fail "a job line does not run kestrelfold-quad"
problems=$(csv_check "$dir" "
from decimal import Decimal, Context
import math
if header[-3:] != ['reference', 'discretisation_error', 'roundoff_error']: fail('header %s' % header)
def quad_field(N, k):
    with open('%s/N%010d/quad/saida.txt.Vantreuse' % (dir, N), 'rb') as f:
        return Decimal(f.read().split(b'\r\n')[k][2:42].decode().strip())
for r in rows:
    N, k = int(r['N']), {'T_meio': 1, 'T_media': 2, 'inclinacao': 3}[r['qoi']]
    reference = Decimal(r['reference'])
    # 36 digits, which round to the 33 the quad run wrote.
    if len(r['reference'].split('e')[0].replace('.', '').lstrip('-')) != 36: fail('%s N = %d: reference %s' % (r['qoi'], N, r['reference']))
    if Context(prec=33).plus(reference) != quad_field(N, k): fail('%s N = %d: reference is not the quad run value' % (r['qoi'], N))
    error, disc, rnd, exact = (float(r[c]) for c in ('error', 'discretisation_error', 'roundoff_error', 'exact'))
    # error = exact - value; the components add up to it but for the
    # rounding of the exact value to double, a few units of its last place
    # where the double program forms it (exp, a subtraction, a division by
    # e - 1 rounded), and that of each component.
    if abs(error - (disc + rnd)) > 4 * math.ulp(exact) + math.ulp(disc) + math.ulp(rnd):
        fail('%s N = %d: %r != %r + %r' % (r['qoi'], N, error, disc, rnd))
    if abs(rnd) > 1e-13 or abs(disc) < 1e-8: fail('%s N = %d: components %r %r' % (r['qoi'], N, disc, rnd))
")
[ -z "$problems" ] || fail "CSV of the split: $problems"
for text in 'Erro separado pela execução em precisão quádrupla' '|discretização| = ' '|arredondamento| = ' \
    'arredondamento marcado pelos resultados em double'; do
    grep -qF "$text" "$dir/estudo.txt" || fail "estudo.txt lacks '$text'"
done
grep -qE '^  \|discretização\| = [0-9.e+-]+ h\^2\.00 \(6 malhas' "$dir/estudo.txt" ||
    fail "the discretisation law of fonte 0 is not h^2 over the 6 meshes"
command -v gnuplot >/dev/null 2>&1 && check_png "$dir/arredondamento.png"

# A quad run missing: named, the mesh's double results reported without
# their split (status 1); the study run again makes that run alone.
rm "$dir/N0000000040/quad/saida.txt.Vantreuse"
run_study --fonte 0 --meshes 10:2:6 --dir estudo --report-only
[ "$status" -eq 1 ] || fail "report without a quad run: status $status"
grep -qF 'kestrelfold-study: N = 40: no complete run of kestrelfold-quad: no saida.txt.Vantreuse' "$tmp/err" ||
    fail "the missing quad run is not named: $(cat "$tmp/err")"
problems=$(csv_check "$dir" "
for r in rows:
    if (r['N'] == '40') != (r['reference'] == ''): fail('%s N = %s: reference %r' % (r['qoi'], r['N'], r['reference']))
    if r['N'] == '40' and r['error'] == '': fail('N = 40 lost its double results')
")
[ -z "$problems" ] || fail "CSV without a quad run: $problems"
grep -qF 'Malhas sem execução completa de kestrelfold-quad' "$dir/estudo.txt" || fail "estudo.txt does not name the missing quad run"
cp "$dir/N0000000040/saida.txt.Vantreuse" "$tmp/double40"
run_study --fonte 0 --meshes 10:2:6 --dir estudo
grep -q '6 meshes: 1 run, 5 already complete, 0 without a result' "$tmp/err" || fail "quad run made again: $(cat "$tmp/err")"
[ -f "$dir/N0000000040/quad/saida.txt.Vantreuse" ] || fail "the quad run of N = 40 was not made again"
[ "$(grep -c . "$dir/jobs.txt")" -eq 1 ] && ! grep -qF "exec '$(cd "$(dirname "$program")" && pwd)/kestrelfold'" "$dir/jobs.txt" ||
    fail "the line of N = 40 does not run kestrelfold-quad alone: $(cat "$dir/jobs.txt")"

# --no-quad: today's study, no split; --precision quad: the quad runs
# themselves, whose repeated extrapolation goes deeper than double's.
run_study --fonte 0 --meshes 10:2:8 --dir duplo --no-quad
[ "$status" -eq 0 ] || fail "--no-quad: status $status: $(cat "$tmp/err")"
[ -e "$tmp/work/duplo/N0000000010/quad" ] && fail "--no-quad made a quad folder"
[ -e "$tmp/work/duplo/arredondamento.png" ] && fail "--no-quad drew the split"
grep -qF 'Erro separado' "$tmp/work/duplo/estudo.txt" && fail "--no-quad reported a split"
[ -z "$(cut -d, -f22-24 "$tmp/work/duplo/estudo.csv" | tail -n +2 | tr -d ',\n')" ] || fail "--no-quad filled the split's columns"
run_study --fonte 0 --meshes 10:2:8 --dir duplo --precision quad
[ "$status" -eq 0 ] || fail "--precision quad: status $status: $(cat "$tmp/err")"
levels() { grep -m 2 'erro nível' "$1" | tail -n 1 | grep -o 'erro nível' | wc -l; }
head_double=$(grep -m 1 'erro nível' "$dir/estudo.txt" | grep -o 'erro nível' | wc -l)
[ "$(grep -m 1 'erro nível' "$tmp/work/duplo/estudo.txt" | grep -o 'erro nível' | wc -l)" -ge $((head_double + 2)) ] ||
    fail "--precision quad: no deeper tableau than double's: $(grep -m 1 'erro nível' "$tmp/work/duplo/estudo.txt")"
grep -qF 'Erro separado' "$tmp/work/duplo/estudo.txt" && fail "--precision quad reported a split"

# --- the same study again: nothing to run; --force runs it all.
touch -d '2001-01-01' "$dir"/N*/saida.txt.Vantreuse "$dir"/N*/quad/saida.txt.Vantreuse
run_study --fonte 0 --meshes 10:2:6 --dir estudo
[ "$status" -eq 0 ] || fail "second study ended with status $status"
grep -q '6 meshes: 0 run, 6 already complete' "$tmp/err" || fail "second study: $(cat "$tmp/err")"
[ -z "$(find "$dir" -name saida.txt.Vantreuse -newermt '2002-01-01')" ] || fail "a complete mesh was run again"
run_study --fonte 0 --meshes 10:2:6 --dir estudo --force
grep -q '6 meshes: 6 run, 0 already complete' "$tmp/err" || fail "--force: $(cat "$tmp/err")"
# Another fonte in the same folder: every mesh is run again for it.
run_study --fonte 3 --meshes 10:2:6 --dir estudo --jobs 1
grep -q '6 meshes: 6 run, 0 already complete' "$tmp/err" || fail "another fonte: $(cat "$tmp/err")"
# A plan over those folders takes the earlier runs' files away: nothing of
# fonte 3 can pass for a run of fonte 0.
run_study --fonte 0 --meshes 10:2:6 --dir estudo --plan-only
[ "$status" -eq 0 ] || fail "plan over an earlier study: status $status: $(cat "$tmp/err")"
left=$(find "$dir"/N* -name 'saida.txt*' -o -name kestrelfold.log)
[ -z "$left" ] || fail "the plan left an earlier run's files: $left"
grep -q "^0   fonte" "$dir/N0000000010/Kestrelfold.in" || fail "the plan did not write the input of fonte 0"
run_study --fonte 0 --meshes 10:2:6 --dir estudo --report-only
[ "$status" -eq 1 ] || fail "a report of meshes not run: status $status"

# --- exact quantities: fonte 1 (all three), fonte 2 (T(1/2) and the slope)
run_study --fonte 1 --meshes 10:2:5 --dir exata1
[ "$status" -eq 0 ] || fail "fonte 1 ended with status $status: $(cat "$tmp/err")"
[ "$(grep -c 'veredito: exata para esta fonte' "$tmp/work/exata1/estudo.txt")" -eq 3 ] ||
    fail "fonte 1: not every quantity is said to be exact"
problems=$(csv_check "$tmp/work/exata1" "
for r in rows:
    if any(r[c] for c in ('p_E', 'p_U', 'R', 'extrapolated', 'U', 'effectivity', 'GCI')): fail('an order or estimate for %s N = %s' % (r['qoi'], r['N']))
    if r['roundoff'] != '1': fail('%s N = %s not marked' % (r['qoi'], r['N']))
")
[ -z "$problems" ] || fail "fonte 1 CSV: $problems"
grep -qiE 'nan|inf' "$tmp/work/exata1/estudo.csv" "$tmp/work/exata1/estudo.txt" && fail "fonte 1: a NaN or infinity is printed"

run_study --fonte 2 --meshes 10:2:5 --dir exata2 --title 'Fonte constante: média'
problems=$(csv_check "$tmp/work/exata2" "
for r in rows:
    exact = r['qoi'] != 'T_media'
    if exact and r['p_E']: fail('p_E for the exact %s' % r['qoi'])
    if not exact and r['N'] != '10' and abs(float(r['p_E']) - 2) > 0.01: fail('mean: p_E = %s' % r['p_E'])
")
[ -z "$problems" ] || fail "fonte 2 CSV: $problems"
[ "$(grep -c 'veredito: exata para esta fonte' "$tmp/work/exata2/estudo.txt")" -eq 2 ] || fail "fonte 2: two quantities are exact"
# The title reaches the listing as Latin-1.
LC_ALL=C grep -q "Fonte constante: m$(printf '\xe9')dia" "$tmp/work/exata2/N0000000010/saida.txt" ||
    fail "the title is not in the listing in Latin-1"

# --- a folder name full of blanks and shell characters: exactly there, nothing else.
# shellcheck disable=SC2016 # the $ and the backquotes are the point
odd='a b/it'\''s $HOME `touch x` ;&|"'
others() { find "$tmp/work" -mindepth 1 -maxdepth 1 ! -name 'a b' | sort; }
others >"$tmp/before"
run_study --meshes 10,20,40 --dir "$odd"
[ "$status" -eq 0 ] || fail "odd folder: status $status: $(cat "$tmp/err")"
[ -f "$tmp/work/$odd/N0000000040/saida.txt.Vantreuse" ] || fail "odd folder: no run in it"
[ -f "$tmp/work/$odd/estudo.csv" ] || fail "odd folder: no report in it"
others | cmp -s - "$tmp/before" || fail "odd folder: something was made outside it"
[ -e "$tmp/work/x" ] || [ -e "$tmp/work/$odd/N0000000040/x" ] && fail "odd folder: a command in its name ran"

# --- odd N: a warning, and the study goes on.
run_study --meshes 10,15 --dir impar
[ "$status" -eq 0 ] || fail "odd N: status $status"
grep -q 'warning: N = 15 is odd: T(1/2) is taken at node 7' "$tmp/err" || fail "odd N: no warning"

# --- the command line: refusals write nothing.
for args in "--meshes 1,2" "--meshes 10 --fonte 7" "--meshes 10 --jobs 0" "--meshes 10 --bogus" \
    "--fonte 1" "--meshes 10 stray"; do
    # shellcheck disable=SC2086
    run_study $args --dir recusado
    [ "$status" -eq 2 ] || fail "'$args': status $status"
    [ "$(wc -l <"$tmp/err")" -eq 1 ] || fail "'$args': not one line: $(cat "$tmp/err")"
    [ -e "$tmp/work/recusado" ] && fail "'$args': the folder was made"
done
run_study --help
if [ "$status" -ne 0 ] || ! grep -q '^usage: kestrelfold-study --meshes LIST' "$tmp/out"; then fail "--help"; fi
run_study --version
if [ "$status" -ne 0 ] || ! grep -q '^kestrelfold-study [0-9]' "$tmp/out"; then fail "--version"; fi

# --- files that cannot be written: a file where the study's folder should be,
# a folder where its CSV should be. One line names it; status 1.
touch "$tmp/work/ocupado"
run_study --meshes 10,20 --dir ocupado
[ "$status" -eq 1 ] || fail "a file in the way of the folder: status $status"
grep -q "^kestrelfold-study: cannot make the folder .*ocupado: " "$tmp/err" ||
    fail "a file in the way of the folder: $(cat "$tmp/err")"
mkdir -p "$tmp/work/bloqueado/estudo.csv"
run_study --meshes 10,20 --dir bloqueado
[ "$status" -eq 1 ] || fail "a folder in the way of the CSV: status $status"
grep -q "^kestrelfold-study: cannot write .*bloqueado/estudo.csv: " "$tmp/err" ||
    fail "a folder in the way of the CSV: $(cat "$tmp/err")"
[ -n "$(find "$tmp/work/bloqueado" -maxdepth 1 -name '*.tmp-*')" ] && fail "a temporary file was left behind"

# --- without a kestrelfold beside it nor on PATH.
mkdir -p "$tmp/alone"
cp "$study" "$tmp/alone/"
status=0
(cd "$tmp/work" && PATH=/nonexistent "$tmp/alone/kestrelfold-study" --meshes 10 --dir sozinho 2>"$tmp/err") || status=$?
[ "$status" -eq 1 ] || fail "no program: status $status"
grep -q 'kestrelfold not found' "$tmp/err" || fail "no program: $(cat "$tmp/err")"

finish "whole studies: all checks passed"
