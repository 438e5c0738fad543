#!/usr/bin/env bash
# Compares Quarnix with Ruby and with itself on generated files:
#  - loading the large RPG-Maker-like file, against Ruby's Marshal.load
#    (wall time and peak memory): one load per fresh process, five rounds
#    interleaved with Ruby's, as a user meets it; and repeated loads in one
#    process;
#  - opening it in the viewer (offscreen, until the window has painted the
#    new tree) against the same;
#  - the Open command's steps on a worker against the calling thread, the
#    first progress, a cancel; the memory a released large document leaves;
#  - filling the list with 200,000 links, against 200,000 integers;
#  - dumping the links file against the integers file, and the large file
#    against its load.
# Usage: bench/compare.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
source bench/common.sh
[ -f "$DATA/links.bin" ] || ruby bench/make_links.rb "$DATA/links.bin" "$DATA/ints.bin"
bench_build "$BUILD" RelWithDebInfo load_file view_bench background_load release_memory quarnix-dump quarnix-test

value() { awk -v k="$1" '$1 == k { print $2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
source bench/timing.sh

median5() { printf '%s\n' "$@" | sort -g | sed -n 3p; }

echo "== Load of $DATA/large.rxdata ($(du -h "$DATA/large.rxdata" | cut -f1)), one per fresh process, interleaved with Ruby (median of 5 rounds)"
q_t=(); q_p=(); q_f=(); r_t=(); r_p=()
for _ in 1 2 3 4 5; do
  ours=$("$BUILD/bench/load_file" "$DATA/large.rxdata" 1)
  theirs=$(ruby bench/ruby_load.rb "$DATA/large.rxdata" 1)
  q_t+=("$(echo "$ours" | value quarnix_load_seconds)"); q_p+=("$(echo "$ours" | value quarnix_peak_rss_kb)")
  q_f+=("$(echo "$ours" | value fill_fresh_pages_seconds)")
  r_t+=("$(echo "$theirs" | value ruby_load_seconds)"); r_p+=("$(echo "$theirs" | value ruby_peak_rss_kb)")
done
echo "quarnix ${q_t[*]} s; ruby ${r_t[*]} s"
q_s=$(median5 "${q_t[@]}"); r_s=$(median5 "${r_t[@]}"); q_m=$(median5 "${q_p[@]}"); r_m=$(median5 "${r_p[@]}")
echo "fresh process: quarnix ${q_s} s ${q_m} kB peak, ruby ${r_s} s ${r_m} kB peak:" \
  "$(ratio "$r_s" "$q_s") times Ruby's speed, $(ratio "$q_m" "$r_m") of Ruby's peak memory"
q_fill=$(median5 "${q_f[@]}")
echo "floor: obtaining and filling as many fresh bytes as the document takes, ${q_fill} s" \
  "($(ratio "$q_fill" "$q_s") of our load; Ruby's time over 15 would be $(awk -v s="$r_s" 'BEGIN { printf "%.2f", s / 15 }') s)"

echo "== The same, repeated loads in one process (median of five)"
ours=$("$BUILD/bench/load_file" "$DATA/large.rxdata" 5)
echo "$ours"
q_rep=$(echo "$ours" | value quarnix_load_seconds)
echo "repeated: $(ratio "$r_s" "$q_rep") times Ruby's (fresh-process) speed"

echo "== Open steps on a worker, progress, cancel (median of five, over the in-memory panes)"
"$BUILD/bench/background_load" "$DATA/large.rxdata" 5

echo "== Resident memory after the large file was opened and then a small one"
"$BUILD/bench/release_memory" "$DATA/large.rxdata" tests/data/Map001.rxdata

echo "== Opening $DATA/large.rxdata in the viewer, offscreen (median of three)"
opens=()
for _ in 1 2 3; do
  opens+=("$(QT_QPA_PLATFORM=offscreen "$BUILD/app/quarnix-test" --quit-after-open "$DATA/large.rxdata" 2>&1 | awk '$1 == "open:" { print $2 }')")
done
open_ms=$(printf '%s\n' "${opens[@]}" | sort -g | sed -n 2p)
echo "open ${open_ms} ms; Ruby's Marshal.load ${r_s} s: $(ratio "$open_ms" "$(awk -v s="$r_s" 'BEGIN { print s * 1000 }')") of Ruby's time"

echo "== List filling: 200,000 links against 200,000 integers"
QUARNIX_BENCH_LINKS=$DATA/links.bin QUARNIX_BENCH_INTS=$DATA/ints.bin \
  "$BUILD/bench/view_bench" --benchmark_format=console 2>/dev/null | grep BM_

echo "== Dumps (median of five whole-process runs)"
d_links=$(median_seconds "$BUILD/app/quarnix-dump" "$DATA/links.bin")
d_ints=$(median_seconds "$BUILD/app/quarnix-dump" "$DATA/ints.bin")
d_large=$(median_seconds "$BUILD/app/quarnix-dump" "$DATA/large.rxdata")
l_large=$(median_seconds "$BUILD/bench/load_file" "$DATA/large.rxdata" 1)
echo "links ${d_links}s, integers ${d_ints}s: $(ratio "$d_links" "$d_ints") times"
echo "large dump ${d_large}s, large load (whole process) ${l_large}s: $(ratio "$d_large" "$l_large") times"
