#!/usr/bin/env bash
# The navigation features on the large generated file: find, the indexes,
# go to path and history against the load (one process, CPU time), then
# whole-process timings of quarnix-dump --json against the plain dump.
# Usage: bench/navigation.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
source bench/common.sh
bench_build "$BUILD" RelWithDebInfo navigation_bench quarnix-dump

echo "== In one process (CPU time, medians)"
"$BUILD/bench/navigation_bench" "$DATA/large.rxdata"

source bench/timing.sh
echo "== Whole-process timings"
plain=$(median_seconds "$BUILD/app/quarnix-dump" "$DATA/large.rxdata")
json=$(median_seconds "$BUILD/app/quarnix-dump" --json "$DATA/large.rxdata")
echo "dump_seconds $plain"
echo "dump_json_seconds $json ratio_to_dump $(awk -v a="$json" -v b="$plain" 'BEGIN { printf "%.2f", a / b }')"
