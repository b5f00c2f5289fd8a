#!/usr/bin/env bash
# End to end with the real gnuplot: the demo runs the shipped example with the
# batch adapters, then the mesh study beside it; both plots are PNG pictures that show the run's titled
# replot, and gnuplot says nothing, neither error nor warning. A second run
# with a new title and mesh must reach the plots too.
# Arguments: program path, source dir, build dir. Exit 77: gnuplot missing.
set -u
program=$1
source_dir=$2

if ! command -v gnuplot >/dev/null 2>&1; then
    echo "SKIP: gnuplot is not installed"
    exit 77
fi

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"

# Latin-1 bytes compared as bytes.
export LC_ALL=C

# check_png FILE: one PNG picture (signature, a single end chunk at the end of
# the file) of a plausible size.
check_png() {
    local size
    if [ ! -f "$1" ]; then
        fail "$1 missing"
        return
    fi
    [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$1 is not a PNG file"
    # One picture: a file terminal that got several plots appends a further
    # image after the first, which a viewer never shows.
    [ "$(grep -a -o IEND "$1" | wc -l)" -eq 1 ] || fail "$1 holds more than one picture"
    [ "$(tail -c 12 "$1" | od -An -tx1 | tr -d ' \n')" = 0000000049454e44ae426082 ] ||
        fail "$1 does not end with its IEND chunk"
    size=$(wc -c <"$1")
    if [ "$size" -lt 10000 ] || [ "$size" -gt 2000000 ]; then
        fail "$1 has an implausible size of $size bytes"
    fi
}

# render_text DIR SCRIPT: the script's final picture on the dumb text
# terminal, drawn in DIR (the locale as the batch adapter sets it).
render_text() {
    (cd "$1" && LC_ALL=C.UTF-8 gnuplot -e "set terminal dumb size 120,40; set output '/dev/null'" \
        "$2" -e "set output; replot" </dev/null)
}

# --- the demo itself
demo=$tmp/demo
if ! "$source_dir/tools/demo.sh" --program "$program" --workdir "$demo" >"$tmp/demo.out" 2>"$tmp/demo.err"; then
    fail "demo ended with a failure"
fi
# The study's one summary line is the only thing on stderr.
grep -c '^kestrelfold-study: 12 meshes: 12 run, ' "$tmp/demo.err" | grep -qx 1 ||
    fail "the demo's study did not end with its summary line"
if grep -v '^kestrelfold-study: 12 meshes: ' "$tmp/demo.err" | grep -q .; then
    fail "errors or warnings printed:"
    cat "$tmp/demo.err"
fi
# The example again in binary128, in quad/ beside it: the same files, and h
# = 1/10 with the 33 digits of the binary128 value.
for f in saida.txt saida.txt.Vantreuse Kestrelfold_T.dat; do
    [ -s "$demo/quad/$f" ] || fail "the demo's kestrelfold-quad run did not write quad/$f"
done
[ "$(head -n 1 "$demo/quad/saida.txt.Vantreuse" | cut -c 1-42)" = "    1.00000000000000000000000000000000E-01" ] ||
    fail "the demo's kestrelfold-quad run did not write h in binary128"
for f in estudo.txt estudo.csv erro.png ordem.png; do
    grep -qF "$demo/estudo/$f" "$tmp/demo.out" || fail "the demo does not say where the study's $f is"
    [ -s "$demo/estudo/$f" ] || fail "the study's $f not written"
done
for f in saida.txt saida.txt.Vantreuse Kestrelfold_T.dat Kestrelfold_T.png Kestrelfold_E.png; do
    grep -qF "$demo/$f" "$tmp/demo.out" || fail "the demo does not say where $f is"
    [ -s "$demo/$f" ] || fail "$f not written"
done
check_png "$demo/Kestrelfold_T.png"
check_png "$demo/Kestrelfold_E.png"

# --- a second run in the same folder with another title and mesh
title='Malha de 20 elementos: teste de ponta a ponta'
sed -e "3s/^10 /20 /" -e "8s/^'[^']*'/'$title'/" "$demo/Kestrelfold.in" >"$tmp/Kestrelfold.in"
mv "$tmp/Kestrelfold.in" "$demo/Kestrelfold.in"
cp "$demo/Kestrelfold_T.png" "$tmp/first_T.png"
status=0
(cd "$demo" && PATH="$source_dir/tools/batch:$PATH" "$program" </dev/null >"$tmp/run.out" 2>"$tmp/run.err") || status=$?
[ "$status" -eq 0 ] || fail "second run ended with status $status"
if [ -s "$tmp/run.err" ]; then
    fail "second run printed:"
    cat "$tmp/run.err"
fi
[ "$(grep -c '^ *[0-9]' "$demo/Kestrelfold_T.dat")" -eq 21 ] || fail "the data file does not hold 21 nodes"
cmp -s "$demo/Kestrelfold_T.png" "$tmp/first_T.png" && fail "the T plot did not change with the new run"

for plot in T E; do
    script=$demo/Kestrelfold_$plot.gnu
    check_png "$demo/Kestrelfold_$plot.png"

    # The program leaves the new title and the replot as the script's end.
    printf " set title '%s'\r\n replot\r\n" "$title" >"$tmp/expected_end"
    tail -n 2 "$script" | cmp -s - "$tmp/expected_end" || fail "$plot script does not end with the new title and replot"

    # The title reaches gnuplot: it is in the drawn picture.
    render_text "$demo" "Kestrelfold_$plot.gnu" >"$tmp/$plot.txt" 2>"$tmp/$plot.err"
    grep -qF "$title" "$tmp/$plot.txt" || fail "$plot picture does not show the title"
    [ -s "$tmp/$plot.err" ] && fail "gnuplot warns on the $plot script: $(cat "$tmp/$plot.err")"

    # The PNG is the titled replot, not the script's first (untitled) plot:
    # the same script without its title and replot draws another picture.
    mkdir -p "$tmp/untitled_$plot"
    head -n -2 "$script" >"$tmp/untitled_$plot/Kestrelfold_$plot.gnu"
    cp "$demo/Kestrelfold_T.dat" "$tmp/untitled_$plot/"
    (cd "$tmp/untitled_$plot" && "$source_dir/tools/batch/wgnuplot" "Kestrelfold_$plot.gnu") ||
        fail "untitled $plot script not rendered"
    check_png "$tmp/untitled_$plot/Kestrelfold_$plot.png"
    cmp -s "$demo/Kestrelfold_$plot.png" "$tmp/untitled_$plot/Kestrelfold_$plot.png" &&
        fail "$plot PNG shows the untitled first plot"
done

finish "demo end to end: all checks passed"
