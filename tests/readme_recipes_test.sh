#!/usr/bin/env bash
# The README's recipes for a first run at the desktop, for reading the
# listing and for a mesh study, run as they stand (the program taken from
# this build), from the source folder (which holds folders named study/ and
# examples/study/ that a recipe could trip over), with a home folder of the
# test's own and stand-ins for the editor and the plot windows. Twice: a
# recipe followed a second time works as well.
# Arguments: program path, source dir, build dir. Exit 77: gnuplot missing.
set -u
source_dir=$2
build_dir=$3

if ! command -v gnuplot >/dev/null 2>&1; then
    echo "SKIP: gnuplot is not installed (the study draws its plots)"
    exit 77
fi

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"

# The blocks of the README that a comment marks as run by this test, in
# order, with the program of this build in place of build/default's.
recipe=$(awk '/<!-- tests\/readme_recipes_test.sh runs this block/ { marked = 1; next }
              marked && /^```sh$/ { inside = 1; next }
              inside && /^```$/ { inside = 0; marked = 0; next }
              inside { print }' "$source_dir/README.md" | sed "s|\$kf/build/default/|$build_dir/|g")
[ "$(grep -c . <<<"$recipe")" -ge 7 ] || fail "the README's marked recipes are not found: [$recipe]"

desktop_stand_ins "$tmp/bin"
work=$tmp/home/kestrelfold-run
mkdir -p "$tmp/home" "$tmp/tmpdir"
expected_windows="editor Kestrelfold.in|window Kestrelfold_T.gnu|window Kestrelfold_E.gnu|editor saida.txt.Vantreuse|editor saida.txt"
for round in first second; do
    : >"$tmp/desktop.log"
    status=0
    (cd "$source_dir" && env HOME="$tmp/home" PATH="$tmp/bin:$PATH" EDITOR=stand-in-editor DISPLAY=:99 \
        LC_ALL=C.UTF-8 TMPDIR="$tmp/tmpdir" bash -e -c "$recipe" </dev/null >"$tmp/out" 2>"$tmp/err") || status=$?
    [ "$status" = 0 ] || fail "$round round: the recipes ended with status $status: $(cat "$tmp/err")"
    [ "$(paste -sd '|' "$tmp/desktop.log")" = "$expected_windows" ] ||
        fail "$round round: the windows opened were: $(paste -sd '|' "$tmp/desktop.log")"
    LC_ALL=C grep -aq '^ \*\*\* VARI.VEIS DE INTERESSE \*\*\*' "$work/saida.txt" || fail "$round round: no whole listing"
    for f in saida.txt.Vantreuse Kestrelfold_T.dat estudo/estudo.txt estudo/erro.png; do
        [ -s "$work/$f" ] || fail "$round round: $f not written"
    done
    [ "$(tail -n +2 "$work/estudo/estudo.csv" 2>/dev/null | wc -l)" -eq 15 ] || fail "$round round: no whole study CSV"
    # The listing, read through iconv, shows its accented labels as UTF-8.
    grep -q 'título = Poisson 1D: solução com fonte exponencial' "$tmp/out" ||
        fail "$round round: the listing read through iconv does not show its title"
    grep -q 'T_meio\|T(1/2)' "$tmp/out" || fail "$round round: the study's tables are not shown"
done
[ -z "$(ls -A "$tmp/tmpdir")" ] || fail "the desktop notepad left $(ls -A "$tmp/tmpdir")"

finish "README recipes: all checks passed"
