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

# report_check DIR: the renderings of a study against its CSV; prints its
# failures. estudo.tex: one booktabs table per quantity, seven columns, a row
# per mesh with its N and value; estudo.txt: every number column ends, and
# every word column starts, where its head does; the smallest error named a
# cancellation exactly where E changed sign on its mesh, and then no verdict
# "na faixa assintótica"; estudo.gnu: every quantity drawn named in the key
# of |E|, the reference line "ordem 2", one line choosing the pictures, and
# as many orders counted outside the range as there are.
report_check() {
    python3 - "$1" <<'EOF2'
import csv, re, sys
dir = sys.argv[1]
failures = []
def fail(message): failures.append(message)
with open(dir + '/estudo.csv', newline='', encoding='utf-8') as f:
    rows = list(csv.DictReader(f))
quantities = ('T_meio', 'T_media', 'inclinacao')
labels = {'T_meio': 'T(1/2)', 'T_media': 'média de T', 'inclinacao': 'inclinação em x = 1'}
by_q = {q: [r for r in rows if r['qoi'] == q] for q in quantities}

tex = open(dir + '/estudo.tex', encoding='ascii').read()
tables = re.findall(r'\\begin\{table\}.*?\\end\{table\}', tex, re.S)
if len(tables) != 3: fail('estudo.tex: %d tables' % len(tables))
for q, table in zip(quantities, tables):
    if '\\label{tab:estudo-%s}' % q not in table: fail('estudo.tex: the table of %s has not its label' % q)
    body = re.search(r'\\toprule\n(.*)\\midrule\n(.*)\\bottomrule', table, re.S)
    if not body: fail('estudo.tex: %s: no toprule, midrule, bottomrule in order' % q); continue
    lines = [l.strip() for l in (body.group(1) + body.group(2)).splitlines() if l.strip()]
    if any(not l.endswith('\\\\') or l.count('&') != 6 for l in lines): fail('estudo.tex: %s: a row of other than 7 cells' % q)
    data = [l.rstrip('\\').split('&') for l in lines[1:]]
    if [d[0].strip().replace('$^{*}$', '') for d in data] != [r['N'] for r in by_q[q]]: fail('estudo.tex: %s: not a row per mesh' % q)
    for d, r in zip(data, by_q[q]):
        m = re.fullmatch(r'\s*\$(-?[0-9.]+)\\times10\^\{(-?[0-9]+)\}\$\s*', d[2])
        if not m or abs(float(m.group(1) + 'e' + m.group(2)) - float(r['value'])) > 5e-11 * abs(float(r['value'])):
            fail('estudo.tex: %s N = %s: value %s' % (q, r['N'], d[2]))

text = open(dir + '/estudo.txt', encoding='utf-8').read()
sections = text.split('\n=== ')[1:]
for q, section in zip(quantities, sections):
    lines = section.split('\n')
    for k, head in enumerate(lines):
        if not head.startswith('        N '): continue
        columns = list(re.finditer(r'\S+(?: \S+)*', head))
        for line in lines[k + 1:]:
            if not re.match(r' +[0-9]+(\*| |$)', line): break
            for i, column in enumerate(columns):
                if column.group() in ('convergência', 'origem de p'):
                    cell = line[column.start():columns[i + 1].start() if i + 1 < len(columns) else None]
                    if cell.startswith(' ') and cell.strip():
                        fail('estudo.txt %s: %s does not start under its head: %r' % (q, column.group(), line))
                else:
                    cell = line[columns[i - 1].end() if i else 0:column.end()].strip()
                    if not re.fullmatch(r'((± )?-?[0-9]+(\.[0-9]+)?(e[+-][0-9]+)?\*?)?', cell):
                        fail('estudo.txt %s: %s holds %r, not a number under its head' % (q, column.group(), cell))
    errors = [abs(float(r['error'])) for r in by_q[q]]
    smallest = by_q[q][errors.index(min(errors))]
    cancellation = 'por cancelamento' in section
    if cancellation != (smallest['sign_change'] == '1'):
        fail('estudo.txt %s: the smallest error (N = %s, sign change %s) is named a cancellation: %s' % (q, smallest['N'], smallest['sign_change'], cancellation))
    verdict = [l for l in lines if 'veredito' in l]
    if cancellation and any('na faixa assintótica' in l for l in verdict): fail('estudo.txt %s: "na faixa assintótica" beside a cancellation' % q)

gnu = open(dir + '/estudo.gnu', encoding='utf-8').read()
error_plot = gnu[gnu.index("set output 'erro."):gnu.index("set output 'ordem.")]
for q in quantities:
    if any(r['error'] != '0.0000000000000000e+00' for r in by_q[q]) and "title '%s'" % labels[q] not in error_plot:
        fail('estudo.gnu: %s has no entry in the key of |E|' % q)
if "title 'ordem 2'" not in error_plot or 'inclinação 2' in gnu: fail('estudo.gnu: the reference line is not "ordem 2"')
if len(re.findall(r"(?m)^kinds = 'png pdf'$", gnu)) != 1: fail('estudo.gnu: not one line choosing the pictures')
low, high = float(re.search(r'(?m)^ymin = (\S+)$', gnu).group(1)), float(re.search(r'(?m)^ymax = (\S+)$', gnu).group(1))
outside = sum(1 for r in rows for c in ('p_E', 'p_U') if r[c] and not low <= float(r[c]) <= high)
said = re.search(r"fora da faixa: (\d+), na borda", gnu)
if (int(said.group(1)) if said else 0) != outside: fail('estudo.gnu: %d orders outside [%g, %g], the key says %s' % (outside, low, high, said and said.group(1)))
if any(r['p_U'] for r in rows) and "title 'p_U (aparente)'" not in gnu: fail('estudo.gnu: p_U has no entry in the key')
for message in failures: print(message)
EOF2
}

# check_pdf FILE: a PDF file.
check_pdf() {
    [ "$(head -c 5 "$1" 2>/dev/null)" = "%PDF-" ] || fail "$1 is not a PDF file"
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
columns = ('qoi,N,h,value,exact,error,p_E,p_U,R,extrapolated,U,effectivity,GCI,roundoff,convergence,GCI_Fs,GCI_p,'
           'sign_change,tcpu,GCI_percent').split(',')
if header[:len(columns)] != columns: fail('header %s' % header)
def listing_time(N):
    with open('%s/N%010d/saida.txt' % (dir, N), 'rb') as f:
        record = f.read().split(b'\r\n')[-2]
    return float(record[:14])
for r in rows:
    if float(r['tcpu']) != listing_time(int(r['N'])): fail('%s N = %s: tcpu %s is not the listing\'s' % (r['qoi'], r['N'], r['tcpu']))
    if not r['GCI']:
        if r['GCI_percent']: fail('%s N = %s: GCI_percent without a GCI' % (r['qoi'], r['N']))
    elif float(r['GCI_percent']) != 100 * float(r['GCI']) / abs(float(r['value'])):
        fail('%s N = %s: GCI_percent %s is not the GCI relative to the value' % (r['qoi'], r['N'], r['GCI_percent']))
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

problems=$(report_check "$dir")
[ -z "$problems" ] || fail "fonte 0: $problems"
# The LaTeX tables go into a document as they stand, where LaTeX and
# booktabs are installed.
if command -v pdflatex >/dev/null 2>&1 && kpsewhich booktabs.sty >/dev/null 2>&1; then
    mkdir -p "$tmp/latex"
    printf '%s\n' '\documentclass{article}' '\usepackage{booktabs}' '\begin{document}' "\\input{$dir/estudo.tex}" \
        '\end{document}' >"$tmp/latex/paper.tex"
    (cd "$tmp/latex" && pdflatex -interaction=nonstopmode -halt-on-error paper.tex </dev/null >/dev/null 2>&1) ||
        fail "estudo.tex does not compile: $(grep -A2 '^!' "$tmp/latex/paper.log")"
    grep -q '^Overfull' "$tmp/latex/paper.log" && fail "estudo.tex: a table wider than the page"
fi

if command -v gnuplot >/dev/null 2>&1; then
    check_png "$dir/erro.png"
    check_png "$dir/ordem.png"
    check_pdf "$dir/erro.pdf"
    check_pdf "$dir/ordem.pdf"
    # The script draws again as it stands, in the study's folder, without a word.
    rm "$dir/erro.png" "$dir/ordem.png" "$dir/erro.pdf"
    (cd "$dir" && LC_ALL=C.UTF-8 gnuplot estudo.gnu </dev/null >"$tmp/gnuplot.out" 2>&1) || fail "estudo.gnu fails"
    [ -s "$tmp/gnuplot.out" ] && fail "gnuplot says: $(cat "$tmp/gnuplot.out")"
    check_png "$dir/erro.png"
    check_pdf "$dir/erro.pdf"
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
if [ "$(grep -c . "$dir/jobs.txt")" -ne 1 ] ||
    grep -qF "exec '$(cd "$(dirname "$program")" && pwd)/kestrelfold'" "$dir/jobs.txt"; then
    fail "the line of N = 40 does not run kestrelfold-quad alone: $(cat "$dir/jobs.txt")"
fi

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
head_double=$(grep -m 1 'erro nível' "$dir/estudo.txt" | grep -o 'erro nível' | wc -l)
[ "$(grep -m 1 'erro nível' "$tmp/work/duplo/estudo.txt" | grep -o 'erro nível' | wc -l)" -ge $((head_double + 2)) ] ||
    fail "--precision quad: no deeper tableau than double's: $(grep -m 1 'erro nível' "$tmp/work/duplo/estudo.txt")"
grep -qF 'Erro separado' "$tmp/work/duplo/estudo.txt" && fail "--precision quad reported a split"

# --- fonte 0 into round-off (10:2:17): errors that pass zero, orders far
# outside the plot's range.
run_study --fonte 0 --meshes 10:2:17 --dir longo
[ "$status" -eq 0 ] || fail "fonte 0 into round-off: status $status: $(cat "$tmp/err")"
problems=$(report_check "$tmp/work/longo")
[ -z "$problems" ] || fail "fonte 0 into round-off: $problems"
grep -qF 'por cancelamento' "$tmp/work/longo/estudo.txt" || fail "fonte 0 into round-off: no cancellation named"
grep -qF 'fora da faixa: ' "$tmp/work/longo/estudo.gnu" || fail "fonte 0 into round-off: no order outside the range"

# --- the examples of kestrelfold-study(1), as written, one block after
# another in one folder; the first again before the second, as after a
# study run again (then the job list is empty).
mkdir -p "$tmp/examples"
sed -n '/^\.SH EXAMPLES/,/^\.SH SEE ALSO/p' "$source_dir/man/kestrelfold-study.1" |
    awk '/^\.nf/ { block++; inside = 1; next } /^\.fi/ { inside = 0 } inside { gsub(/\\-/, "-"); print block "\t" $0 }' \
        >"$tmp/examples.txt"
[ "$(cut -f1 "$tmp/examples.txt" | sort -u | wc -l)" -eq 2 ] || fail "kestrelfold-study(1): not two examples"
run_example() {
    local s=0
    (cd "$tmp/examples" && PATH="$(dirname "$study"):$PATH" bash -e -c "$1" </dev/null >/dev/null 2>"$tmp/err") || s=$?
    [ "$s" -eq 0 ] || fail "kestrelfold-study(1): '$1': status $s: $(cat "$tmp/err")"
}
while IFS=$'\t' read -r block line; do [ "$block" = 1 ] && run_example "$line"; done <"$tmp/examples.txt"
run_example "$(head -n 1 "$tmp/examples.txt" | cut -f2)"
[ -s "$tmp/examples/estudo/jobs.txt" ] && fail "kestrelfold-study(1): the study run again left lines to run"
touch -d '2001-01-01' "$tmp/examples/estudo"/N*/saida.txt.Vantreuse "$tmp/examples/estudo"/N*/quad/saida.txt.Vantreuse
while IFS=$'\t' read -r block line; do [ "$block" = 2 ] && run_example "$line"; done <"$tmp/examples.txt"
[ "$(find "$tmp/examples/estudo" -name saida.txt.Vantreuse -newermt '2002-01-01' | sort | tr '\n' ' ')" = \
    "$tmp/examples/estudo/N0000000160/quad/saida.txt.Vantreuse $tmp/examples/estudo/N0000000160/saida.txt.Vantreuse " ] ||
    fail "kestrelfold-study(1): not N = 160 alone ran again"
[ "$(tail -n +2 "$tmp/examples/estudo/estudo.csv" | wc -l)" -eq 36 ] || fail "kestrelfold-study(1): the report is not whole"

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
problems=$(report_check "$tmp/work/exata1")
[ -z "$problems" ] || fail "fonte 1: $problems"

run_study --fonte 2 --meshes 10:2:5 --dir exata2 --title 'Fonte constante: média'
problems=$(csv_check "$tmp/work/exata2" "
for r in rows:
    exact = r['qoi'] != 'T_media'
    if exact and r['p_E']: fail('p_E for the exact %s' % r['qoi'])
    if not exact and r['N'] != '10' and abs(float(r['p_E']) - 2) > 0.01: fail('mean: p_E = %s' % r['p_E'])
")
[ -z "$problems" ] || fail "fonte 2 CSV: $problems"
[ "$(grep -c 'veredito: exata para esta fonte' "$tmp/work/exata2/estudo.txt")" -eq 2 ] || fail "fonte 2: two quantities are exact"
# Two quantities with every point marked: still named in the key.
problems=$(report_check "$tmp/work/exata2")
[ -z "$problems" ] || fail "fonte 2: $problems"
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
