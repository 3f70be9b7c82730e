#!/usr/bin/env bash
# Runs each reader fuzzer for SECONDS (default 20), seeded from tests/data, and fails on any
# crash, leak in our code, timeout (a slow input) or excess memory. What a fuzzer finds is kept in
# BUILD/fuzz-findings/; once mended, add it to tests/data/fuzz-found/ as the file it stands for,
#   BUILD/fuzz/fuzz-tool package FORMAT FINDING tests/data/fuzz-found/NAME.FORMAT
# so that the damaged-files test reads it from then on.
# Usage: fuzz/run-fuzzers.sh BUILD [SECONDS]   (BUILD configured with -DTARNWICK_FUZZ=ON, clang)
set -euo pipefail
build=$(realpath "${1:?build folder}")
seconds=${2:-20}
here=$(cd "$(dirname "$0")/.." && pwd)
work=$build/fuzz-work
rm -rf "$work"
mkdir -p "$work" "$build/fuzz-findings"
"$build/fuzz/fuzz-tool" seeds "$here/tests/data" "$work/seeds" >/dev/null

# Stacks through the system libraries, so that a known leak of libgsf is suppressed by its name.
export ASAN_OPTIONS=fast_unwind_on_malloc=0
export LSAN_OPTIONS=suppressions=$here/fuzz/lsan-suppressions.txt:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
# The longest input each fuzzer makes: a compound file needs room for a directory of many
# sectors (the crafted seeds are up to 256 KB), packages for their XML; else libFuzzer would stay
# at the largest seed.
declare -A max_len=([xls]=262144 [xlsx]=65536 [ods]=65536 [text]=16384 [biff]=16384)
for format in xls xlsx ods text biff; do
    mkdir -p "$work/corpus/$format"
    log=$work/$format.log
    if "$build/fuzz/fuzz_$format" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len="${max_len[$format]}" \
        -artifact_prefix="$build/fuzz-findings/$format-" -print_final_stats=1 \
        "$work/corpus/$format" "$work/seeds/$format" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz_$format: ${runs:-?} inputs in ${seconds} s, no fault"
    else
        echo "fuzz_$format found a fault (kept in $build/fuzz-findings/):"
        grep -v '^#' "$log" | tail -n 40
        status=1
    fi
done
exit $status
