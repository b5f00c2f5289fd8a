#!/usr/bin/env bash
# Builds the fuzz targets with clang (a build of their own, apart from the
# main g++ build) and runs each for a bounded time on a copy of its seed
# corpus, so that the corpus checked in is never changed.
#
# Usage: fuzz/run.sh [seconds per target, default 60]
# Environment: CXX (default clang++), KESTRELFOLD_FUZZ_BUILD (build folder,
# default build/fuzz in the repository), KESTRELFOLD_FUZZ_JOBS (build jobs,
# default 2).
# Exit status: 0 when every target ran its time without a finding; 1 when
# one crashed, timed out, leaked or broke a checked property (the input is
# kept under <build>/artifacts/); 2 on a usage or build failure.
set -u

seconds=${1:-60}
case $seconds in
    '' | *[!0-9]*) echo "usage: $0 [seconds per target]" >&2; exit 2 ;;
esac

root=$(cd "$(dirname "$0")/.." && pwd) || exit 2
build=${KESTRELFOLD_FUZZ_BUILD:-$root/build/fuzz}
compiler=${CXX:-clang++}
targets=(input_reader_fuzz formatted_write_fuzz exp_fuzz)

if ! command -v "$compiler" >/dev/null 2>&1; then
    echo "$0: $compiler not found; the fuzz targets need clang with libFuzzer" >&2
    exit 2
fi

cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER="$compiler" >/dev/null || exit 2
cmake --build "$build" -j "${KESTRELFOLD_FUZZ_JOBS:-2}" || exit 2

work=$(mktemp -d "${TMPDIR:-/tmp}/kestrelfold-fuzz-run.XXXXXX") || exit 2
trap 'rm -rf "$work"' EXIT
artifacts=$build/artifacts
mkdir -p "$artifacts" || exit 2

failed=0
for target in "${targets[@]}"; do
    corpus=$work/corpus/$target
    mkdir -p "$corpus" "$work/tmp/$target" || exit 2
    cp -R "$root/fuzz/corpus/$target/." "$corpus/" || exit 2
    log=$work/$target.log
    echo "== $target: $seconds s"
    # The targets move into a temporary directory of their own, so every
    # path given to libFuzzer is absolute. The program's own console lines
    # go to the stand-in of fuzz_seams.h; -close_fd_mask=2 silences anything
    # else it prints, while libFuzzer and the sanitizers still report.
    TMPDIR=$work/tmp/$target "$build/$target" "$corpus" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -close_fd_mask=2 -print_final_stats=1 -artifact_prefix="$artifacts/$target-" >"$log" 2>&1
    status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    elapsed=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")
    echo "$target: ${executions:-?} executions in ${elapsed:-?} s, exit status $status"
    grep '^stat::' "$log"
    if [ "$status" -ne 0 ]; then
        failed=1
        echo "$target: FAILED; the end of its log:"
        tail -n 60 "$log"
        echo "inputs kept in $artifacts:"
        ls "$artifacts"
    fi
done
exit "$failed"
