#!/usr/bin/env bash
# The comparison of two versions, measured: the large file against a copy
# with 1,000 scattered edits (time and peak memory against loading both),
# lists of a million commands differing in 100 places, two unrelated lists
# of 100,000 commands, and two game folders of 150 maps with 10 edited.
# Usage: bench/diff.sh [BUILD_DIR]   (default: build-bench, configured here)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build-bench}
source bench/common.sh
[ -d "$DATA/game" ] || ruby bench/make_game_folder.rb "$DATA/game"
[ -f "$DATA/diff/large_edited.rxdata" ] || ruby bench/make_diff_pairs.rb "$DATA"
bench_build "$BUILD" Release diff_bench quarnix-dump
bench="$BUILD/bench/diff_bench"
dump="$BUILD/app/quarnix-dump"

for pair in "large.rxdata diff/large_edited.rxdata" "diff/commands_old.rxdata diff/commands_new.rxdata" \
            "diff/unrelated_old.rxdata diff/unrelated_new.rxdata"; do
  set -- $pair
  echo "== $1 against $2"
  "$bench" "$DATA/$1" "$DATA/$2"
done

echo "== two folders of 150 maps, 10 edited: quarnix-dump --diff --stat, then the 10 pairs loaded once"
start=$(date +%s.%N)
"$dump" --diff --stat "$DATA/game" "$DATA/diff/game_edited" >/dev/null || true
end=$(date +%s.%N)
echo "folder_diff_s $(echo "$end - $start" | bc)"
total=0
for file in "$DATA"/diff/game_edited/Map*.rxdata; do
  name=$(basename "$file")
  cmp -s "$file" "$DATA/game/$name" && continue
  load=$("$bench" "$DATA/game/$name" "$file" | awk '/^load_both_s/ {print $2}')
  total=$(echo "$total + $load" | bc)
done
echo "changed_pairs_loaded_s $total"
