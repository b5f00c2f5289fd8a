#!/usr/bin/env bash
# Builds the bench preset and measures, with bench/study_bench.cpp, a fresh
# mesh study on 10:2:17 (N = 10 to 655360): the study's own work (plan,
# reading the runs, computing, writing the report) against the runs' time,
# and the runs with J = 2 against J = 1. Prints the medians as a table.
#
#   tools/study_performance.sh                  5 repetitions, studies under $TMPDIR (or /tmp)
#   REPETITIONS=9 TMPDIR=/dev/shm tools/study_performance.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
REPETITIONS=${REPETITIONS:-5}
bench=$root/build/bench/bench/kestrelfold_bench

cd "$root"
cmake --workflow --preset bench >/dev/null

# The medians of one group of benchmarks (the CSV report takes one set of
# counters per call), as lines: name, real time in seconds, plan_s, report_s.
medians() {
    "$bench" --benchmark_filter="$1" --benchmark_repetitions="$REPETITIONS" \
        --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
        awk -F, '
            NR == 1 { gsub(/"/, ""); for (i = 1; i <= NF; ++i) column[$i] = i; next }
            $1 ~ /_median"?$/ {
                scale = $column["time_unit"] == "ms" ? 1e-3 : $column["time_unit"] == "us" ? 1e-6 : $column["time_unit"] == "s" ? 1 : 1e-9
                name = $1; gsub(/"/, "", name); sub(/\/real_time_median$/, "", name)
                print name "," $column["real_time"] * scale "," $column["plan_s"] "," $column["report_s"]
            }'
}

echo "measuring the study on 10:2:17 in ${TMPDIR:-/tmp}, median of $REPETITIONS runs each ..." >&2
medians=$(medians '^BM_study_runs'; medians '^BM_study_own_work'; medians '^BM_study_plots')
field() {  # field <name> <column number>
    awk -F, -v name="$1" -v c="$2" '$1 == name { print $c; exit }' <<<"$medians"
}

j1=$(field BM_study_runs/jobs:1 2)
j2=$(field BM_study_runs/jobs:2 2)
own=$(field BM_study_own_work 2)
plan=$(field BM_study_own_work 3)
report=$(field BM_study_own_work 4)
plots=$(field BM_study_plots 2)

printf '\n| Measured (median of %s), study 10:2:17 | Time | Against | Ratio | Goal |\n|---|---|---|---|---|\n' "$REPETITIONS"
awk -v o="$own" -v p="$plan" -v r="$report" -v j="$j1" 'BEGIN {
    printf "| own work: plan %.2f ms, report %.2f ms | %.2f ms | runs, J = 1: %.0f ms | %.4f | < 0.01 |\n", p * 1e3, r * 1e3, o * 1e3, j * 1e3, o / j }'
awk -v a="$j2" -v b="$j1" 'BEGIN {
    printf "| runs, J = 2 | %.0f ms | runs, J = 1: %.0f ms | %.2f | <= 0.6 |\n", a * 1e3, b * 1e3, a / b }'
awk -v t="$plots" 'BEGIN { printf "| the two plots, drawn by gnuplot | %.0f ms | | | |\n", t * 1e3 }'
