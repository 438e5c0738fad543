#!/usr/bin/env bash
# The native Windows viewer under Wine against the Qt viewer, in the same
# run, each through its program's --quit-after-open switch:
#  - opening the large RPG-Maker-like file until the window has painted the
#    new tree;
#  - selecting a container of 1,000,000 children (the first container of a
#    file holding one array of a million integers) until painted.
# Runs alternate between the two programs; medians are reported.  The
# Windows figures include nothing of Wine's start-up: both programs time
# themselves from the open to the paint.
#
#   bench/windows_bench.sh [RUNS]        (default 5)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-5}"
data="$root/bench/data"
mkdir -p "$data"
[ -f "$data/large.rxdata" ] || ruby "$root/bench/make_large.rb" "$data/large.rxdata"
[ -f "$data/wide.rxdata" ] ||
  ruby -e 'File.binwrite(ARGV[0], Marshal.dump(Array.new(1_000_000) { |i| i }))' "$data/wide.rxdata"

"$root/scripts/build-viewer.sh" "$root/build-qt" Release
"$root/scripts/build-windows.sh" "$root/build-windows" >/dev/null

. "$root/scripts/wine-session.sh"

# The Windows program writes its lines with CR LF.
field() { tr -d '\r' | sed -n "s/^$1: \([0-9]*\) ms$/\1/p"; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
for file in large wide; do
  : >"$scratch/qt-$file"; : >"$scratch/win-$file"
  for ((i = 1; i <= runs; i++)); do
    QT_QPA_PLATFORM=offscreen "$root/build-qt/app/quarnix-test" --quit-after-open "$data/$file.rxdata" \
      2>"$scratch/out" >/dev/null
    if [ "$file" = large ]; then field open <"$scratch/out"; else field select <"$scratch/out"; fi >>"$scratch/qt-$file"
    wine "$root/build-windows/app/quarnix-test.exe" --quit-after-open "$data/$file.rxdata" 2>"$scratch/out" >/dev/null
    if [ "$file" = large ]; then field open <"$scratch/out"; else field select <"$scratch/out"; fi >>"$scratch/win-$file"
  done
  qt=$(median <"$scratch/qt-$file"); win=$(median <"$scratch/win-$file")
  what="open $(basename "$data/large.rxdata") until painted"
  [ "$file" = wide ] && what="select a container of 1,000,000 children until painted"
  echo "$what: Windows (Wine) ${win} ms, Qt ${qt} ms, ratio $(awk -v a="$win" -v b="$qt" 'BEGIN { printf "%.2f", a / b }')" \
    "(medians of $runs; runs: Windows $(paste -sd' ' "$scratch/win-$file"), Qt $(paste -sd' ' "$scratch/qt-$file"))"
done

# The preview's largest readings, from the target to the painted pane: a
# 1 MB script and a 500 x 500 x 3 table (bench/preview_bench_file.h).
cmake -S "$root" -B "$root/build-qt" -DQUARNIX_BENCH=ON >/dev/null
cmake --build "$root/build-qt" --target preview_bench >/dev/null
echo "preview, Qt (offscreen):"
QT_QPA_PLATFORM=offscreen "$root/build-qt/bench/preview_bench" \
  --benchmark_filter='BM_Preview(Script1MB|Table500x500x3)$' --benchmark_repetitions="$runs" \
  --benchmark_report_aggregates_only=true 2>/dev/null | grep median
echo "preview, Windows (Wine), medians of $runs:"
wine "$root/build-windows/tests/win32/quarnix_win32_preview_bench.exe" "$runs" 2>/dev/null | tr -d '\r'
