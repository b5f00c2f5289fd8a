#!/usr/bin/env bash
# The largest mesh of the data model, N = 2147483647 (2^31 nodes), fonte 0,
# no tables: builds the release preset, runs the program once in a scratch
# folder with stand-in notepad and wgnuplot that return at once, checks that
# it ends with status 0 and that its header shows N as asterisks with the
# conversion warning (N has ten digits, the field eight), and reports its
# wall time, processing time and peak memory.
#
#   tools/largest_mesh_run.sh            about 17 GB of memory and a minute or two
#   N=100000000 tools/largest_mesh_run.sh   the same checks on a smaller mesh (N >= 10^8)
#
# Not a test: it needs a machine with that much memory to spare (the program
# refuses the mesh, with status 1, where there is less). Needs GNU time
# (/usr/bin/time, Debian package time) for the peak memory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
N=${N:-2147483647}
[ -x /usr/bin/time ] || { echo "needs GNU time: apt-get install time" >&2; exit 2; }

cd "$root"
cmake --preset default >/dev/null
cmake --build --preset default --target kestrelfold >/dev/null
program=$root/build/default/kestrelfold

scratch=$(mktemp -d "${TMPDIR:-/tmp}/kestrelfold-largest-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/bin"
for adapter in notepad wgnuplot; do
    printf '#!/bin/sh\nexit 0\n' >"$scratch/bin/$adapter"
    chmod +x "$scratch/bin/$adapter"
done
printf "maior.txt\n0\n%s\n0\n0\n0\n1\n'N = %s, fonte 0'\n" "$N" "$N" >"$scratch/Kestrelfold.in"

echo "free memory before the run:" >&2
free -g >&2
cd "$scratch"
status=0
/usr/bin/time -f '%e %M' -o time.txt env PATH="$scratch/bin:$PATH" "$program" 2>err.txt || status=$?
read -r wall peak_kb <time.txt

problems=()
[ "$status" = 0 ] || problems+=("status $status: $(cat err.txt)")
[ "$(cat err.txt)" = "kestrelfold: output conversion error, unit 10, file maior.txt" ] ||
    problems+=("standard error: $(cat err.txt)")
LC_ALL=C grep -aq $'^\\*\\*\\*\\*\\*\\*\\*\\* \\.* = n\xFAmero de elementos da malha (N)\r$' maior.txt ||
    problems+=("the header does not show N as eight asterisks")
tcpu=$(grep -a 'tempo de processamento' maior.txt | awk '{ print $1 }')

awk -v n="$N" -v w="$wall" -v k="$peak_kb" -v t="$tcpu" -v s="$status" 'BEGIN {
    printf "N = %d, fonte 0, no tables: status %d, wall %.1f s, tcpu %s s, peak memory %.2f GB (%.2f bytes/node)\n",
           n, s, w, t, k * 1024 / 1e9, k * 1024 / (n + 1) }'
echo "the listing's quantities of interest:"
grep -a -A 12 'VARI' maior.txt | tr -d '\r' | iconv -f ISO-8859-1 -t UTF-8
if [ ${#problems[@]} -gt 0 ]; then
    printf 'FAILED: %s\n' "${problems[@]}" >&2
    exit 1
fi
