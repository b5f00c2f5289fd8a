#!/usr/bin/env bash
# The README's study demo: it runs the study of fonte 0 on 10:2:12 and tells
# where the tables and the plots are; each named file is there.
# Arguments: kestrelfold-study path, source dir, build dir.
set -u
study=$1
source_dir=$2

# shellcheck source=tests/script_checks.sh
. "$source_dir/tests/script_checks.sh"

if ! "$source_dir/tools/study_demo.sh" --program "$study" --workdir "$tmp/demo" >"$tmp/out" 2>"$tmp/err"; then
    fail "the study demo failed: $(cat "$tmp/err")"
fi
for f in estudo.txt estudo.csv estudo.tex erro.png ordem.png arredondamento.png; do
    grep -qF "$tmp/demo/$f" "$tmp/out" || fail "the demo does not say where $f is"
done
for f in estudo.txt estudo.csv; do
    [ -s "$tmp/demo/$f" ] || fail "$f not written"
done
if command -v gnuplot >/dev/null 2>&1; then
    for f in erro.png ordem.png arredondamento.png; do
        [ -s "$tmp/demo/$f" ] || fail "$f not drawn"
    done
fi
[ "$(tail -n +2 "$tmp/demo/estudo.csv" | wc -l)" -eq 36 ] || fail "the CSV does not hold 12 meshes of 3 quantities"

finish "study demo: all checks passed"
