#!/usr/bin/env bash
# Builds the release preset and measures, with the benchmarks of bench/, the
# solution run and whole runs at the sizes the program is used at; prints
# the medians beside the bound each is held to.
#
#   tools/performance_table.sh            N = 10^8, 5 repetitions (needs ~8 GB, a few minutes)
#   N=10000000 REPETITIONS=3 tools/performance_table.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
N=${N:-100000000}
REPETITIONS=${REPETITIONS:-5}
bench=$root/build/default/bench/kestrelfold_bench

cd "$root"
cmake --preset default >/dev/null
cmake --build --preset default --target kestrelfold kestrelfold_bench >/dev/null

# Medians of one group of benchmarks, as CSV: name, real time in seconds,
# then the user counters by name.
medians() {
    KESTRELFOLD_BENCH_N=$N "$bench" --benchmark_filter="$1" \
        --benchmark_repetitions="$REPETITIONS" --benchmark_report_aggregates_only=true \
        --benchmark_format=csv 2>/dev/null |
        awk -F, '
            NR == 1 { gsub(/"/, ""); for (i = 1; i <= NF; ++i) column[$i] = i; next }
            $1 ~ /_median"?$/ {
                scale = $column["time_unit"] == "ms" ? 1e-3 : $column["time_unit"] == "us" ? 1e-6 : $column["time_unit"] == "s" ? 1 : 1e-9
                name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
                line = name "," $column["real_time"] * scale
                for (c in column) if (column[c] > column["error_message"]) line = line "," c "=" $column[c]
                print line
            }'
}

value() {  # value <csv lines> <name pattern>: the time of the first match
    awk -F, -v pattern="$2" '$1 ~ pattern { print $2; exit }' <<<"$1"
}
counter() {  # counter <csv lines> <name pattern> <counter>
    awk -F, -v pattern="$2" -v name="$3" '$1 ~ pattern { for (i = 3; i <= NF; ++i) { split($i, kv, "="); if (kv[1] == name) { print kv[2]; exit } } }' <<<"$1"
}

echo "measuring at N = $N, median of $REPETITIONS runs each ..." >&2
floor_csv=$(medians '^BM_chain_floor')
exp_csv=$(medians '^BM_exp')
solucao_csv=$(medians '^BM_solucao/')
whole_csv=$(medians '^BM_whole_run/')
convert_csv=$(medians '^BM_ToCharsOfTableValues')

floor=$(value "$floor_csv" 'chain_floor')
exp_ns=$(awk -v s="$(counter "$exp_csv" 'BM_exp' seconds_per_exp)" 'BEGIN { print s * 1e9 }')
to_chars_ns=$(value "$convert_csv" 'ToChars')
to_chars_ns=$(awk -v s="$to_chars_ns" 'BEGIN { print s * 1e9 }')

printf '\n| Measured (median of %s) | Time | Bound | Ratio | Goal |\n|---|---|---|---|---|\n' "$REPETITIONS"
for fonte in 1 2 3 4; do
    t=$(value "$solucao_csv" "fonte:$fonte\$")
    awk -v f="$fonte" -v t="$t" -v b="$floor" -v n="$N" \
        'BEGIN { printf "| solucao, fonte %d, N = %g | %.3f s | chain floor %.3f s | %.2f | <= 1.3 |\n", f, n, t, b, t / b }'
done
t=$(value "$solucao_csv" 'fonte:0$')
awk -v t="$t" -v b="$floor" -v e="$exp_ns" -v n="$N" \
    'BEGIN { bound = 1.3 * b + n * e * 1e-9
             printf "| solucao, fonte 0, N = %g | %.3f s | 1.3 x floor + N x exp (%.2f ns) = %.3f s | %.2f | <= 1.0 |\n", n, t, e, bound, t / bound }'
t=$(value "$whole_csv" "N:$N/tables:0/")
per_node=$(counter "$whole_csv" "N:$N/tables:0/" bytes_per_node)
awk -v t="$t" -v b="$floor" -v n="$N" \
    'BEGIN { printf "| whole run, N = %g, no tables | %.3f s | chain floor %.3f s | %.2f | <= 3 |\n", n, t, b, t / b }'
for over in 0 1; do
    t=$(value "$whole_csv" "N:1000000/tables:1/over_last_run:$over")
    fields=$(counter "$whole_csv" "N:1000000/tables:1/over_last_run:$over" E_fields)
    where=$([ "$over" = 1 ] && echo "over the last run's files" || echo "empty folder")
    awk -v t="$t" -v f="$fields" -v c="$to_chars_ns" -v w="$where" \
        'BEGIN { bound = f * c * 1e-9
                 printf "| whole run, N = 10^6, every table, %s | %.3f s | %g E fields x to_chars %.1f ns = %.3f s | %.2f | <= 1.3 |\n", w, t, f, c, bound, t / bound }'
done
awk -v p="$per_node" -v n="$N" \
    'BEGIN { allowed = 72 + 16 * 1048576 / (n + 1)
             printf "| peak memory, whole run N = %g | %.2f bytes/node | 72 bytes/node + 16 MiB = %.2f bytes/node | %.3f | <= 1 |\n", n, p, allowed, p / allowed }'
