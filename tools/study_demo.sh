#!/usr/bin/env bash
# Builds Kestrelfold and its mesh-study tool, runs a study of the
# exponential source term on twelve meshes (N = 10, 20, ..., 20480) and tells
# where the tables and the plots are.
#
# usage: tools/study_demo.sh [--program PATH] [--workdir DIR]
#   --program PATH  run this kestrelfold-study (with its kestrelfold and
#                   kestrelfold-quad beside it) instead of building build/default
#   --workdir DIR   the study's folder (default build/study-demo); meshes
#                   already complete there are not run again
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=
workdir=$root/build/study-demo

usage() {
    echo "usage: tools/study_demo.sh [--program PATH] [--workdir DIR]" >&2
    exit 2
}
while [ $# -gt 0 ]; do
    case $1 in
        --program) [ $# -ge 2 ] || usage; program=$2; shift 2 ;;
        --workdir) [ $# -ge 2 ] || usage; workdir=$2; shift 2 ;;
        *) usage ;;
    esac
done

if [ -z "$program" ]; then
    (cd "$root" && cmake --preset default >/dev/null && cmake --build --preset default --target kestrelfold-study)
    program=$root/build/default/kestrelfold-study
fi
if [ ! -x "$program" ]; then
    echo "study demo: no program at $program" >&2
    exit 1
fi

status=0
"$program" --fonte 0 --meshes 10:2:12 --dir "$workdir" </dev/null || status=$?
if [ "$status" -ne 0 ]; then
    echo "study demo: kestrelfold-study ended with status $status" >&2
    exit "$status"
fi
workdir=$(cd "$workdir" && pwd)

cat <<EOT
Kestrelfold mesh study done; its files are in $workdir:
  tables              $workdir/estudo.txt
  table for programs  $workdir/estudo.csv
  tables for LaTeX    $workdir/estudo.tex
  plot of the errors  $workdir/erro.png (and erro.pdf)
  plot of the orders  $workdir/ordem.png (and ordem.pdf)
  discretisation and round-off
                      $workdir/arredondamento.png (and arredondamento.pdf)
  one run per mesh    $workdir/N0000000010 ... $workdir/N0000020480
                      (kestrelfold-quad's in each folder's quad/)
EOT
for plot in erro.png ordem.png arredondamento.png; do
    [ -s "$workdir/$plot" ] || echo "  ($plot was not drawn: gnuplot is needed, Debian package gnuplot-nox)"
done
