#!/bin/sh
# Runs every benchmark that the build made (bench/*.cpp become build/bench/<name>).
set -e
BUILD_DIR="${1:-build}"
cd "$(dirname "$0")/.."
found=0
for bench in "$BUILD_DIR"/bench/*; do
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    found=1
    echo "== $(basename "$bench")"
    "$bench"
done
[ "$found" = 1 ] || echo "No benchmarks built yet."
