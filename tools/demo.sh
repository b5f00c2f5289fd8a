#!/usr/bin/env bash
# Builds Kestrelfold, its binary128 twin kestrelfold-quad and its mesh-study
# tool, runs the shipped example in a work folder without any window (the
# batch adapters stand in for the editor and the plotting program) and tells
# where the listing, the data files and the plots are; runs the same example
# with kestrelfold-quad in the folder quad inside it; then runs the mesh
# study of tools/study_demo.sh (fonte 0 on twelve meshes) in the folder
# estudo inside it.
#
# usage: tools/demo.sh [--program PATH] [--workdir DIR]
#   --program PATH  run this kestrelfold instead of building build/default;
#                   kestrelfold-quad and the study run when they are beside it
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
        cmake --build --preset default --target kestrelfold kestrelfold-quad kestrelfold-study)
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

# run_example PROGRAM DIR: the example in DIR, which holds its input and
# scripts; every result written anew (nothing left from an earlier demo may
# pass for this run's).
run_example() {
    local status=0 missing=0 f
    (cd "$2" && rm -f -- "${results[@]}")
    echo "running $1 in $2"
    (cd "$2" && PATH="$root/tools/batch:$PATH" "$1" </dev/null) || status=$?
    if [ "$status" -ne 0 ]; then
        echo "demo: $(basename "$1") ended with status $status" >&2
        exit "$status"
    fi
    for f in "${results[@]}"; do
        if [ ! -s "$2/$f" ]; then
            echo "demo: $2/$f was not written" >&2
            missing=1
        fi
    done
    [ "$missing" -eq 0 ] || exit 1
}

run_example "$program" "$workdir"

cat <<EOF
Kestrelfold demo done; its files are in $workdir:
  listing             $workdir/$caso
  extrapolation data  $workdir/$caso.Vantreuse
  plot data           $workdir/Kestrelfold_T.dat
  plot of T           $workdir/Kestrelfold_T.png
  plot of the error   $workdir/Kestrelfold_E.png
EOF

quad=$(dirname "$program")/kestrelfold-quad
if [ -x "$quad" ]; then
    mkdir -p "$workdir/quad"
    cp "$root"/examples/Kestrelfold.in "$root"/examples/Kestrelfold_T.gnu \
       "$root"/examples/Kestrelfold_E.gnu "$workdir/quad"/
    echo
    run_example "$quad" "$workdir/quad"
    cat <<EOF
The same run in binary128 (kestrelfold-quad), in $workdir/quad:
  listing             $workdir/quad/$caso
  extrapolation data  $workdir/quad/$caso.Vantreuse
EOF
fi

study=$(dirname "$program")/kestrelfold-study
if [ -x "$study" ]; then
    echo
    "$root/tools/study_demo.sh" --program "$study" --workdir "$workdir/estudo"
fi
