#!/usr/bin/env bash
# Builds the bench preset and measures, with the benchmarks of bench/, the
# solution run and whole runs at the sizes the program is used at; prints
# the medians beside the bound each is held to. Then runs the whole program
# at N turn about with the program as it stood before a run stored T alone
# (commit PREVIOUS: seven fields and the solver's two work fields, 72 bytes
# a node), built from that commit in build/previous-<commit>.
#
#   tools/performance_table.sh            N = 10^8, 5 repetitions (needs ~8 GB, about 5 minutes)
#   N=10000000 REPETITIONS=3 tools/performance_table.sh
#
# Times are wall-clock medians; CPU times are given beside them, since on a
# shared machine the wall clock also counts the time other processes take.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
N=${N:-100000000}
REPETITIONS=${REPETITIONS:-5}
PREVIOUS=${PREVIOUS:-67b592c}
bench=$root/build/bench/bench/kestrelfold_bench

cd "$root"
cmake --workflow --preset bench >/dev/null

# The previous layout's program, from the sources of its commit.
previous_dir=$root/build/previous-$PREVIOUS
previous_exe=$previous_dir/build/kestrelfold
if [ ! -x "$previous_exe" ]; then
    echo "building the program of commit $PREVIOUS ..." >&2
    rm -rf "$previous_dir"
    mkdir -p "$previous_dir/src"
    git -C "$root" archive "$PREVIOUS" | tar -x -C "$previous_dir/src"
    cmake -S "$previous_dir/src" -B "$previous_dir/build" -DCMAKE_BUILD_TYPE=Release \
        -DKESTRELFOLD_TESTS=OFF -DKESTRELFOLD_BENCHMARKS=OFF >/dev/null
    cmake --build "$previous_dir/build" --target kestrelfold -j 2 >/dev/null
fi

# One CSV line per result row of a benchmark run: name, real time and CPU
# time in seconds, then the user counters as name=value.
csv_rows() {
    awk -F, '
        NR == 1 { gsub(/"/, ""); for (i = 1; i <= NF; ++i) column[$i] = i; next }
        {
            unit = $column["time_unit"]
            scale = unit == "ms" ? 1e-3 : unit == "us" ? 1e-6 : unit == "s" ? 1 : 1e-9
            name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
            line = name "," $column["real_time"] * scale "," $column["cpu_time"] * scale
            for (c in column) if (column[c] > column["error_message"]) line = line "," c "=" $column[c]
            print line
        }'
}

# Medians of one group of benchmarks, run in random order.
medians() {
    KESTRELFOLD_BENCH_N=$N "$bench" --benchmark_filter="$1" \
        --benchmark_repetitions="$REPETITIONS" --benchmark_enable_random_interleaving=true \
        --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
        awk 'NR == 1 || /_median"?,/' | csv_rows
}

real() {  # real <csv lines> <name pattern>: the real time of the first match
    awk -F, -v pattern="$2" '$1 ~ pattern { print $2; exit }' <<<"$1"
}
cpu() {  # cpu <csv lines> <name pattern>
    awk -F, -v pattern="$2" '$1 ~ pattern { print $3; exit }' <<<"$1"
}
counter() {  # counter <csv lines> <name pattern> <counter>
    awk -F, -v pattern="$2" -v name="$3" '$1 ~ pattern { for (i = 4; i <= NF; ++i) { split($i, kv, "="); if (kv[1] == name) { print kv[2]; exit } } }' <<<"$1"
}
median() {  # of the numbers on standard input
    sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
largest() {
    sort -g | tail -n 1
}

echo "measuring at N = $N, median of $REPETITIONS runs each ..." >&2
# A group run in random order must share its counters.
numerics_csv=$(medians '^BM_chain_floor|^BM_solucao/')
exp_csv=$(medians '^BM_exp|^BM_platform_exp')
fonte0_csv=$(medians '^BM_fonte0_exp/')
listing_csv=$(medians '^BM_whole_run/N:1000000/')
convert_csv=$(medians '^BM_ToCharsOfTableValues')

# The whole program at N without tables, this build and the previous one in
# turns, one run each per turn.
whole_run() {  # whole_run <program>
    KESTRELFOLD_BENCH_N=$N KESTRELFOLD_BENCH_PROGRAM=$1 "$bench" --benchmark_filter="^BM_whole_run/N:$N/tables:0/" \
        --benchmark_format=csv 2>/dev/null | csv_rows
}
this_runs=""
previous_runs=""
for ((turn = 1; turn <= REPETITIONS; ++turn)); do
    this_runs+=$(whole_run "$root/build/bench/kestrelfold")$'\n'
    previous_runs+=$(whole_run "$previous_exe")$'\n'
done
column_of() {  # column_of <csv lines> <field number or counter name>
    if [[ $2 =~ ^[0-9]+$ ]]; then
        awk -F, -v f="$2" 'NF { print $f }' <<<"$1"
    else
        awk -F, -v name="$2" 'NF { for (i = 4; i <= NF; ++i) { split($i, kv, "="); if (kv[1] == name) print kv[2] } }' <<<"$1"
    fi
}

floor=$(real "$numerics_csv" 'chain_floor')
floor_cpu=$(cpu "$numerics_csv" 'chain_floor')
exp_ns=$(awk -v s="$(counter "$exp_csv" '^BM_exp' seconds_per_exp)" 'BEGIN { print s * 1e9 }')
platform_exp_ns=$(awk -v s="$(counter "$exp_csv" '^BM_platform_exp' seconds_per_exp)" 'BEGIN { print s * 1e9 }')
to_chars_ns=$(awk -v s="$(real "$convert_csv" 'ToChars')" 'BEGIN { print s * 1e9 }')

printf '\n| Measured (median of %s) | Time | CPU time | Bound (time; CPU time) | Ratio (time; CPU time) | Goal |\n|---|---|---|---|---|---|\n' "$REPETITIONS"
for fonte in 1 2 3 4; do
    awk -v f="$fonte" -v t="$(real "$numerics_csv" "fonte:$fonte\$")" -v c="$(cpu "$numerics_csv" "fonte:$fonte\$")" \
        -v b="$floor" -v bc="$floor_cpu" -v n="$N" \
        'BEGIN { printf "| solucao, fonte %d, N = %g | %.3f s | %.3f s | chain floor %.3f s; %.3f s | %.2f; %.2f | <= 1.15 |\n", f, n, t, c, b, bc, t / b, c / bc }'
done
awk -v t="$(real "$numerics_csv" 'fonte:0$')" -v c="$(cpu "$numerics_csv" 'fonte:0$')" -v b="$floor" -v bc="$floor_cpu" \
    -v e="$exp_ns" -v n="$N" \
    'BEGIN { bound = b + n * e * 1e-9; bound_cpu = bc + n * e * 1e-9
             printf "| solucao, fonte 0, N = %g | %.3f s | %.3f s | floor + N x exp (%.2f ns) = %.3f s; %.3f s | %.2f; %.2f | <= 1.0 |\n", n, t, c, e, bound, bound_cpu, t / bound, c / bound_cpu }'
# The program's exp (correctly rounded) against the platform's std::exp:
# fonte 0's solution run with each, and one call of each.
awk -v t="$(real "$fonte0_csv" 'exp:0$')" -v c="$(cpu "$fonte0_csv" 'exp:0$')" \
    -v b="$(real "$fonte0_csv" 'exp:1$')" -v bc="$(cpu "$fonte0_csv" 'exp:1$')" -v n="$N" \
    'BEGIN { printf "| solucao, fonte 0, N = %g, correctly rounded exp | %.3f s | %.3f s | with std::exp %.3f s; %.3f s | %.2f; %.2f | <= 1.25 |\n", n, t, c, b, bc, t / b, c / bc }'
awk -v e="$exp_ns" -v p="$platform_exp_ns" \
    'BEGIN { printf "| one exp on the nodes of [0, 1], correctly rounded | %.2f ns | | std::exp %.2f ns | %.2f | |\n", e, p, e / p }'
awk -v t="$(column_of "$this_runs" 2 | median)" -v c="$(column_of "$this_runs" process_cpu_s | median)" \
    -v b="$floor" -v bc="$floor_cpu" -v n="$N" \
    'BEGIN { printf "| whole run, N = %g, no tables | %.3f s | %.3f s | chain floor %.3f s; %.3f s | %.2f; %.2f | <= 3 |\n", n, t, c, b, bc, t / b, c / bc }'
for over in 0 1; do
    pattern="N:1000000/tables:1/over_last_run:$over"
    where=$([ "$over" = 1 ] && echo "over the last run's files" || echo "empty folder")
    awk -v t="$(real "$listing_csv" "$pattern")" -v f="$(counter "$listing_csv" "$pattern" E_fields)" -v c="$to_chars_ns" -v w="$where" \
        'BEGIN { bound = f * c * 1e-9
                 printf "| whole run, N = 10^6, every table, %s | %.3f s | | %g E fields x to_chars %.1f ns = %.3f s | %.2f | <= 1.3 |\n", w, t, f, c, bound, t / bound }'
done
awk -v p="$(column_of "$this_runs" bytes_per_node | largest)" -v n="$N" \
    'BEGIN { allowed = 8.2 + 16 * 1048576 / (n + 1)
             printf "| peak memory, whole run N = %g (largest of %d) | %.2f bytes/node | | 8.2 bytes/node + 16 MiB = %.2f bytes/node | %.3f | <= 1 |\n", n, '"$REPETITIONS"', p, allowed, p / allowed }'

printf '\n| Whole program, N = %g, no tables (median of %s, in turns) | Wall | CPU time | tcpu | Peak memory |\n|---|---|---|---|---|\n' "$N" "$REPETITIONS"
for which in this previous; do
    runs=$([ "$which" = this ] && echo "$this_runs" || echo "$previous_runs")
    label=$([ "$which" = this ] && echo "T alone (this build)" || echo "seven fields and two work fields (commit $PREVIOUS)")
    awk -v l="$label" -v w="$(column_of "$runs" 2 | median)" -v c="$(column_of "$runs" process_cpu_s | median)" \
        -v t="$(column_of "$runs" tcpu_s | median)" -v p="$(column_of "$runs" bytes_per_node | largest)" \
        'BEGIN { printf "| %s | %.3f s | %.3f s | %.3f s | %.2f bytes/node |\n", l, w, c, t, p }'
done
