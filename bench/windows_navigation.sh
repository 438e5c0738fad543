#!/usr/bin/env bash
# The native Windows viewer under Wine beside the Qt viewer, in the same
# run: navigating the large RPG-Maker-like file, each program timing itself
# from inside through its test build's --time-navigation switch (the first
# hit of a search for "RPG::EventCommand" shown, every hit counted, a typed
# path to the last hit, back), then the preview's largest readings (a 1 MB
# script, a 500 x 500 x 3 table) until painted.  Runs alternate between the
# two programs; a table of medians is printed.
#
#   bench/windows_navigation.sh [RUNS]        (default 5)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-5}"
data="$root/bench/data"
mkdir -p "$data"
[ -f "$data/large.rxdata" ] || ruby "$root/bench/make_large.rb" "$data/large.rxdata"

cmake -S "$root" -B "$root/build-qt" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUARNIX_BENCH=ON >/dev/null
cmake --build "$root/build-qt" --target quarnix-test preview_bench >/dev/null
[ -f "$root/build-windows/build.ninja" ] || "$root/scripts/build-windows.sh" "$root/build-windows" >/dev/null
cmake --build "$root/build-windows" --target quarnix-win32-test quarnix_win32_preview_bench >/dev/null

. "$root/scripts/wine-session.sh"

keys=("first hit" "all hits" "go to path" "back")
# The Windows program writes its lines with CR LF.
field() { tr -d '\r' | sed -n "s/^$1: \([0-9.]*\) ms$/\1/p"; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
for ((i = 1; i <= runs; i++)); do
  QT_QPA_PLATFORM=offscreen "$root/build-qt/app/quarnix-test" --time-navigation "$data/large.rxdata" \
    2>"$scratch/nav-qt-$i" >/dev/null
  wine "$root/build-windows/app/quarnix-test.exe" --time-navigation "$data/large.rxdata" 2>"$scratch/nav-win-$i" >/dev/null
done

# The preview: Qt's benchmark and the Win32 one, RUNS repetitions each.
QT_QPA_PLATFORM=offscreen "$root/build-qt/bench/preview_bench" \
  --benchmark_filter='BM_Preview(Script1MB|Table500x500x3)$' --benchmark_repetitions="$runs" \
  --benchmark_report_aggregates_only=true 2>/dev/null >"$scratch/qt-preview"
wine "$root/build-windows/tests/win32/quarnix_win32_preview_bench.exe" "$runs" 2>/dev/null | tr -d '\r' \
  >"$scratch/win-preview"

row() {  # name, Windows ms, Qt ms
  printf '| %-32s | %10s | %8s | %5s |\n' "$1" "$2" "$3" "$(awk -v a="$2" -v b="$3" 'BEGIN { printf "%.2f", a / b }')"
}
hits=$(tr -d '\r' <"$scratch/nav-win-1" | sed -n 's/^hits: //p')
echo "large.rxdata, medians of $runs runs (ms); search for RPG::EventCommand, $hits hits"
printf '| %-32s | %10s | %8s | %5s |\n' "" "Wine" "Qt" "ratio"
for key in "${keys[@]}"; do
  win=$(cat "$scratch"/nav-win-* | field "$key" | median)
  qt=$(cat "$scratch"/nav-qt-* | field "$key" | median)
  row "$key" "$win" "$qt"
done
qt_preview() { sed -n "s/^BM_Preview$1_median *\([0-9.]*\) ms.*/\1/p" "$scratch/qt-preview"; }
win_preview() { sed -n "s/^preview $1: \([0-9.]*\) ms$/\1/p" "$scratch/win-preview"; }
row "preview, script 1 MB" "$(win_preview 'script 1 MB')" "$(qt_preview Script1MB)"
row "preview, table 500x500x3" "$(win_preview 'table 500x500x3')" "$(qt_preview Table500x500x3)"
