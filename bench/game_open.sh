#!/usr/bin/env bash
# Opening a map whose folder holds the game's database against opening the
# same map alone in a folder of its own: the time until the window has
# painted the tree (the Qt test build's --quit-after-open), medians of RUNS
# runs taken in turn.  The names are read after the tree shows, so the two
# should match.
#
#   bench/game_open.sh BUILD_DIR [RUNS]     (default 7)
set -euo pipefail
build=${1:?usage: bench/game_open.sh BUILD_DIR [RUNS]}
runs=${2:-7}
dir=bench/data/game
[ -d "$dir" ] || ruby bench/make_game_folder.rb "$dir"
map=$(ls -S "$dir"/Map*.rxdata | head -1)
alone=$(mktemp -d)
trap 'rm -rf "$alone"' EXIT
cp "$map" "$alone/"
program="$build/app/quarnix-test"
export QT_QPA_PLATFORM=offscreen

open_ms() { "$program" --quit-after-open "$1" 2>&1 >/dev/null | sed -n 's/^open: \([0-9]*\) ms$/\1/p'; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
: >"$alone/with"; : >"$alone/without"
for ((i = 1; i <= runs; i++)); do
  open_ms "$map" >>"$alone/with"
  open_ms "$alone/$(basename "$map")" >>"$alone/without"
done
echo "map $(basename "$map") $(stat -c %s "$map") bytes"
echo "open_with_folder_ms $(median <"$alone/with")"
echo "open_alone_ms $(median <"$alone/without")"
