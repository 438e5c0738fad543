#!/usr/bin/env bash
# A comparison in both windows, the native Windows viewer under Wine beside
# the Qt viewer in the same run, each timing itself from inside through its
# test build's --time-compare switch (app/compare_timing.h):
#  - two real maps (the first map of the game folder that game_edited/
#    changed) and the 42 MB pair (large.rxdata and large_edited.rxdata,
#    1,000 edits): the comparison shown and the tree marked, against the
#    old file loaded alone ("beyond loading"; the new one is open before);
#  - F8 to the next difference until painted, the preview with it (median
#    and slowest of up to 50 steps);
#  - the window's marking of the tree and list against the comparison alone.
# Runs alternate between the two programs; medians are reported.
#
#   bench/compare_windows.sh [RUNS] [QT_BUILD_DIR]     (defaults 3, build-qt)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-3}"
qtbuild="${2:-$root/build-qt}"
data="$root/bench/data"
mkdir -p "$data"
[ -f "$data/large.rxdata" ] || ruby "$root/bench/make_large.rb" "$data/large.rxdata"
[ -d "$data/game" ] || ruby "$root/bench/make_game_folder.rb" "$data/game"
[ -f "$data/diff/large_edited.rxdata" ] || ruby "$root/bench/make_diff_pairs.rb" "$data"

[ -x "$qtbuild/app/quarnix-test" ] || "$root/scripts/build-viewer.sh" "$qtbuild" Release
"$root/scripts/build-windows.sh" "$root/build-windows" >/dev/null

. "$root/scripts/wine-session.sh"

qt() { QT_QPA_PLATFORM=offscreen "$qtbuild/app/quarnix-test" "$@"; }
win() { wine "$root/build-windows/app/quarnix-test.exe" "$@"; }
# A line "shown: 120.0 ms (cpu 95.0 ms)": the clock's figure, or the CPU time's.
field() { tr -d '\r' | sed -n "s/^$1: \([-0-9.]*\).*$/\1/p"; }
cpu() { tr -d '\r' | sed -n "s/^$1: .*(cpu \([0-9.]*\).*$/\1/p"; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

map=""
for file in "$data"/diff/game_edited/Map*.rxdata; do
  cmp -s "$file" "$data/game/$(basename "$file")" || { map=$(basename "$file"); break; }
done
pairs=("map $data/game/$map $data/diff/game_edited/$map" "large $data/large.rxdata $data/diff/large_edited.rxdata")
for pair in "${pairs[@]}"; do
  set -- $pair
  for ((i = 1; i <= runs; i++)); do
    for program in qt win; do "$program" --time-compare "$2" "$3" 2>"$scratch/$1-$program-$i" >/dev/null || true; done
  done
done

# The CPU times weigh less what else the shared machine runs.
printf '| %-34s | %10s | %10s | %10s | %10s |\n' "medians of $runs runs, ms" "Wine" "Wine CPU" "Qt" "Qt CPU"
for pair in "${pairs[@]}"; do
  set -- $pair
  for key in "load old" "compare alone" "shown" "beyond loading" "mark" "mark ratio" "differences" "F8 move median" "F8 median" \
             "F8 most"; do
    printf '| %-34s | %10s | %10s | %10s | %10s |\n' "$1 ($(basename "$2")): $key" \
      "$(cat "$scratch/$1"-win-* | field "$key" | median)" "$(cat "$scratch/$1"-win-* | cpu "$key" | median)" \
      "$(cat "$scratch/$1"-qt-* | field "$key" | median)" "$(cat "$scratch/$1"-qt-* | cpu "$key" | median)"
  done
done
