#!/usr/bin/env bash
# Builds Kestrelfold and its mesh-study tool, runs the shipped example in a
# work folder without any window (the batch adapters stand in for the editor
# and the plotting program) and tells where the listing, the data files and
# the plots are; then runs the mesh study of tools/study_demo.sh (fonte 0 on
# twelve meshes) in the folder estudo inside it.
#
# usage: tools/demo.sh [--program PATH] [--workdir DIR]
#   --program PATH  run this kestrelfold instead of building build/default;
#                   the study runs when kestrelfold-study is beside it
#   --workdir DIR   the work folder (default build/demo); the examples are
#                   copied into it, over any earlier copies
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=
workdir=$root/build/demo

usage() {
    echo "usage: tools/demo.sh [--program PATH] [--workdir DIR]" >&2
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
    (cd "$root" && cmake --preset default >/dev/null &&
        cmake --build --preset default --target kestrelfold kestrelfold-study)
    program=$root/build/default/kestrelfold
fi
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
if [ ! -x "$program" ]; then
    echo "demo: no program at $program" >&2
    exit 1
fi

mkdir -p "$workdir"
workdir=$(cd "$workdir" && pwd)
cp "$root"/examples/Kestrelfold.in "$root"/examples/Kestrelfold_T.gnu \
   "$root"/examples/Kestrelfold_E.gnu "$workdir"/

# The listing is named by the first value of the input file (the example's is
# a plain file name, possibly in quotes).
read -r caso _ <"$workdir/Kestrelfold.in"
caso=${caso#[\'\"]}
caso=${caso%[\'\"]}
results=("$caso" "$caso.Vantreuse" Kestrelfold_T.dat Kestrelfold_T.png Kestrelfold_E.png)

# Nothing left from an earlier demo may pass for this run's results.
(cd "$workdir" && rm -f -- "${results[@]}")

echo "running $program in $workdir"
status=0
(cd "$workdir" && PATH="$root/tools/batch:$PATH" "$program" </dev/null) || status=$?
if [ "$status" -ne 0 ]; then
    echo "demo: kestrelfold ended with status $status" >&2
    exit "$status"
fi

missing=0
for f in "${results[@]}"; do
    if [ ! -s "$workdir/$f" ]; then
        echo "demo: $workdir/$f was not written" >&2
        missing=1
    fi
done
[ "$missing" -eq 0 ] || exit 1

cat <<EOF
Kestrelfold demo done; its files are in $workdir:
  listing             $workdir/$caso
  extrapolation data  $workdir/$caso.Vantreuse
  plot data           $workdir/Kestrelfold_T.dat
  plot of T           $workdir/Kestrelfold_T.png
  plot of the error   $workdir/Kestrelfold_E.png
EOF

study=$(dirname "$program")/kestrelfold-study
if [ -x "$study" ]; then
    echo
    "$root/tools/study_demo.sh" --program "$study" --workdir "$workdir/estudo"
fi
