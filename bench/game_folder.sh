#!/bin/sh
# The game's folder: indexing time against loading all its files once with
# quarnix-dump, peak memory, the first usage answers, and search across the
# folder against quarnix-dump --find file by file.
#
#   bench/game_folder.sh BUILD_DIR        (BUILD_DIR configured with QUARNIX_BENCH=ON)
#
# Makes bench/data/game with bench/make_game_folder.rb when it is missing.
set -eu
build=${1:?usage: bench/game_folder.sh BUILD_DIR}
dir=bench/data/game
[ -d "$dir" ] || ruby bench/make_game_folder.rb "$dir"
bench="$build/bench/game_folder_bench"
dump="$build/app/quarnix-dump"
word=${WORD:-的}

seconds() { # the wall time of a command, in seconds
  start=$(date +%s.%N); "$@" >/dev/null; end=$(date +%s.%N)
  echo "$end - $start" | bc
}

echo "== every file loaded once by quarnix-dump (a --find that matches nothing)"
t=0
for f in "$dir"/*.rxdata; do t=$(echo "$t + $(seconds "$dump" --find '\001none\001' "$f")" | bc); done
echo "dump_load_seconds $t"
echo "== every file loaded once, in one process"
"$bench" load "$dir"
echo "== names"
"$bench" names "$dir"
echo "== names and the usage index"
"$bench" index "$dir"
echo "== search across the folder for '$word'"
"$bench" find "$dir" "$word"
echo "== quarnix-dump --find '$word' file by file"
t=0
hits=0
for f in "$dir"/*.rxdata; do
  t=$(echo "$t + $(seconds "$dump" --find "$word" "$f")" | bc)
  hits=$((hits + $("$dump" --find "$word" "$f" | wc -l)))
done
echo "dump_find_seconds $t"
echo "dump_find_hits $hits"
echo "== quarnix-dump --find '$word' over the folder"
echo "dump_find_folder_seconds $(seconds "$dump" --find "$word" "$dir")"
