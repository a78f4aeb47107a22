#!/bin/sh
# Runs every fuzz target of a fuzz build for a while, each from its seed corpus, and sums up.
# usage: scripts/fuzz.sh BUILD_DIR SECONDS
# New corpus entries stay in BUILD_DIR/corpus/<target>; crashes and broken rules are written to
# BUILD_DIR/findings/<target>-crash-* (make each a reproducer under tests/data/fuzz/<target>/).
set -u
build="$1"
seconds="${2:-60}"
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
status=0
for target in ListFileFuzzer WaveParserFuzzer SheetFuzzer TagFuzzer MuxerFuzzer ConversionFuzzer; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus" "$build/findings"
    log="$build/findings/$target.log"
    # Leaks in libraries' one-time set-up are not findings; everything else is.
    ASAN_OPTIONS=detect_leaks=0 "$build/fuzz/$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
        "$corpus" "$source_dir/fuzz/corpus/$target" >"$log" 2>&1
    result=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    if [ "$result" -eq 0 ]; then
        echo "$target: ${runs:-?} executions in ${seconds}s (${speed:-?}/s), no findings"
    else
        echo "$target: FINDING after ${runs:-?} executions; see $log"
        grep -E "rule broken|ERROR: (AddressSanitizer|libFuzzer)|runtime error" "$log" | head -n 3
        status=1
    fi
done
exit $status
