#!/usr/bin/env bash
# The native Windows viewer under Wine against the Qt viewer, in the same
# run, each program timing itself from inside through its test build's
# switches (the Windows figures include nothing of Wine's start-up):
#  - opening the large RPG-Maker-like file until the window has painted the
#    new tree, and selecting a container of 1,000,000 children (the first
#    container of a file holding one array of a million integers) until
#    painted, then going to its last row until painted (--quit-after-open);
#  - navigating the large file (--time-navigation): the first hit of a
#    search for "RPG::EventCommand" shown, every hit counted, a typed path
#    to the last hit until painted, back until painted, and the window
#    painted once more with nothing changed (the least any move costs);
#    the Qt window both offscreen and on Wine's virtual display ("Qt on X");
#  - the preview's largest readings, a 1 MB script and a 500 x 500 x 3
#    table (bench/preview_bench_file.h), from the target to the painted pane.
# Runs alternate between the two programs; medians are reported.
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
cmake -S "$root" -B "$root/build-qt" -DQUARNIX_BENCH=ON >/dev/null
cmake --build "$root/build-qt" --target preview_bench >/dev/null

. "$root/scripts/wine-session.sh"

qt() { QT_QPA_PLATFORM=offscreen "$root/build-qt/app/quarnix-test" "$@"; }
# The Qt window on the same virtual display as Wine's: both then pay for
# drawing through the X server, which the offscreen figures leave out.
qtx() { QT_QPA_PLATFORM=xcb "$root/build-qt/app/quarnix-test" "$@"; }
win() { wine "$root/build-windows/app/quarnix-test.exe" "$@"; }
# The Windows program writes its lines with CR LF.
field() { tr -d '\r' | sed -n "s/^$1: \([0-9.]*\) ms$/\1/p"; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
for file in large wide; do
  for ((i = 1; i <= runs; i++)); do
    for program in qt win; do
      "$program" --quit-after-open "$data/$file.rxdata" 2>"$scratch/open-$program-$file-$i" >/dev/null
    done
  done
done
open_figure() {
  local q w
  q=$(cat "$scratch"/open-qt-"$1"-* | field "$2" | median); w=$(cat "$scratch"/open-win-"$1"-* | field "$2" | median)
  echo "$3: Windows (Wine) ${w} ms, Qt ${q} ms, ratio $(ratio "$w" "$q")" \
    "(medians of $runs; runs: Windows $(cat "$scratch"/open-win-"$1"-* | field "$2" | paste -sd' ')," \
    "Qt $(cat "$scratch"/open-qt-"$1"-* | field "$2" | paste -sd' '))"
}
open_figure large open "open $(basename "$data/large.rxdata") until painted"
open_figure wide select "select a container of 1,000,000 children until painted"
open_figure wide "last row" "then go to its last row until painted"

for ((i = 1; i <= runs; i++)); do
  for program in qt qtx win; do "$program" --time-navigation "$data/large.rxdata" 2>"$scratch/nav-$program-$i" >/dev/null; done
done
QT_QPA_PLATFORM=offscreen "$root/build-qt/bench/preview_bench" \
  --benchmark_filter='BM_Preview(Script1MB|Table500x500x3)$' --benchmark_repetitions="$runs" \
  --benchmark_report_aggregates_only=true 2>/dev/null >"$scratch/preview-qt"
wine "$root/build-windows/tests/win32/quarnix_win32_preview_bench.exe" "$runs" 2>/dev/null | tr -d '\r' \
  >"$scratch/preview-win"

row() {
  printf '| %-26s | %10s | %8s | %5s | %12s | %5s |\n' "$1" "$2" "$3" "$(ratio "$2" "$3")" "${4:--}" \
    "$([ -n "${4:-}" ] && ratio "$2" "$4" || echo -)"
}
echo
echo "Medians of $runs runs, ms; the search for RPG::EventCommand in large.rxdata finds" \
  "$(tr -d '\r' <"$scratch/nav-win-1" | sed -n 's/^hits: //p') hits."
printf '| %-26s | %10s | %8s | %5s | %12s | %5s |\n' "" "Wine" "Qt" "ratio" "Qt on X" "ratio"
for key in "first hit" "all hits" "go to path" "back" "repaint"; do
  row "$key" "$(cat "$scratch"/nav-win-* | field "$key" | median)" "$(cat "$scratch"/nav-qt-[0-9]* | field "$key" | median)" \
    "$(cat "$scratch"/nav-qtx-* | field "$key" | median)"
done
qt_preview() { sed -n "s/^BM_Preview$1_median *\([0-9.]*\) ms.*/\1/p" "$scratch/preview-qt"; }
win_preview() { field "preview $1" <"$scratch/preview-win"; }
row "preview, script 1 MB" "$(win_preview 'script 1 MB')" "$(qt_preview Script1MB)"
row "preview, table 500x500x3" "$(win_preview 'table 500x500x3')" "$(qt_preview Table500x500x3)"
