#!/usr/bin/env bash
# Wall time of the desktop viewer opening a file: from the Open command to
# the window painted with the new tree, offscreen.  Runs the program's
# benchmarking switch `quarnix --quit-after-open FILE` several times and
# reports each run and the median open time.  Each run also times selecting
# the file's first container (filling the list pane with its children).
#
#   bench/open_bench.sh FILE [RUNS] [BUILD_DIR]
#       RUNS defaults to 5, BUILD_DIR to build-qt (built if needed).
#
# A file to try it on, about two million containers:
#   ruby -e 'File.binwrite("/tmp/big.rxdata",
#              Marshal.dump(Array.new(1000) { Array.new(2000) { [1, "x".b] } }))'
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
file="${1:?usage: bench/open_bench.sh FILE [RUNS] [BUILD_DIR]}"
runs="${2:-5}"
build="${3:-$root/build-qt}"

"$root/scripts/build-viewer.sh" "$build" Release

times=()
for ((i = 1; i <= runs; i++)); do
  out="$(QT_QPA_PLATFORM=offscreen "$build/app/quarnix-test" --quit-after-open "$file" 2>&1 >/dev/null)" || {
    echo "$out" >&2
    exit 1
  }
  ms="$(sed -n 's/^open: \([0-9]*\) ms$/\1/p' <<<"$out")"
  times+=("$ms")
  field() { sed -n "s/^$1: //p" <<<"$out"; }
  echo "run $i: open ${ms} ms ($(field "tree items") tree items)," \
    "select first container $(field select) ($(field "list rows") rows)," \
    "close $(field close), whole process $(field process)"
done
median="$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')"
echo "median open: ${median} ms over ${runs} runs ($(basename "$file"))"
