#!/usr/bin/env bash
# Builds Quarnix and runs every test: a normal build, the same tests under
# AddressSanitizer + UndefinedBehaviorSanitizer with leak detection, the
# portable suites under ThreadSanitizer, and short libFuzzer runs over the
# loader, the viewer and the game folder.  Installs what it needs on Debian.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

JOBS=$(nproc)
export QT_QPA_PLATFORM=offscreen

# Each stage says how long it took, so a slow stage shows in CI's log.
stage_start=$SECONDS
stage() {
  echo "   (took $((SECONDS - stage_start)) s)"
  stage_start=$SECONDS
  echo "$1"
}

echo "== Build and test (packages ready after $SECONDS s)"
# The benchmarks are built by the scripts under bench/ that run them.  Each
# tree is compiled from nothing, in batches of sources (UNITY).
UNITY=-DCMAKE_UNITY_BUILD=ON
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARNIX_BENCH=OFF "$UNITY" >/dev/null
cmake --build build -j "$JOBS"
ctest --test-dir build --output-on-failure -j "$JOBS"

stage "== The Windows programs, cross-built with mingw-w64 and run under Wine"
scripts/test-windows.sh build

# The release packages, made from the two builds above and checked (lintian
# among the checks) beside the next stage, which the packaging barely slows.
(scripts/package.sh && scripts/test-packages.sh) >build/packages.log 2>&1 &
packages=$!

stage "== Build and test under AddressSanitizer + UndefinedBehaviorSanitizer"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp"
# The Qt front end and its tests (the pane contract suites over the Qt
# panes among them) too, named so a cache from an earlier run cannot leave
# them out.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUARNIX_SANITIZE=ON -DQUARNIX_QT=ON \
  -DQUARNIX_BENCH=OFF "$UNITY" >/dev/null
cmake --build build-asan -j "$JOBS"
ctest --test-dir build-asan --output-on-failure -j "$JOBS"
echo "-- the release packages (scripts/package.sh, scripts/test-packages.sh; made beside this stage)"
if ! wait "$packages"; then
  cat build/packages.log
  echo "The release packages are wrong (build/packages.log)." >&2
  exit 1
fi
grep -E '^(Wrote|Package checks:)' build/packages.log

stage "== The portable suites under ThreadSanitizer (headless panes: no Qt, no Wine)"
# The workers (the open, the find, the holder index, the folder's names and
# searches) read the document the loader writes.  The tests labelled
# not_under_tsan need a stack or address space the sanitizer does not give.
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS
# The loader keeps idle threads for the next load: nothing to wait for at exit.
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:atexit_sleep_ms=0
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARNIX_TSAN=ON -DQUARNIX_QT=OFF \
  -DQUARNIX_BENCH=OFF "$UNITY" >/dev/null
cmake --build build-tsan -j "$JOBS" --target quarnix_tests quarnix-dump
ctest --test-dir build-tsan --output-on-failure -j "$JOBS" -LE not_under_tsan
unset TSAN_OPTIONS

stage "== Fuzz the loader, and the viewer over what it loads, briefly"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUARNIX_FUZZ=ON -DQUARNIX_SANITIZE=ON -DQUARNIX_QT=OFF -DQUARNIX_BENCH=OFF "$UNITY" >/dev/null
cmake --build build-fuzz -j "$JOBS" --target fuzz_load fuzz_view fuzz_game fuzz_diff
# One target's run.  A fixed seed and number of runs make it the same every
# time, so the test command cannot fail by chance; the time limit only
# guards against a machine far slower than ours.  FUZZ_SEED=0 fuzzes afresh
# instead, for FUZZ_SECONDS (default 90) a target.
fuzz() {
  local target=$1 runs=$2 seconds=${FUZZ_SECONDS:-240}
  if [ "${FUZZ_SEED:-1}" = 0 ]; then runs=-1; seconds=${FUZZ_SECONDS:-90}; fi
  mkdir -p "build-fuzz/corpus-$target"
  "./build-fuzz/fuzz/$target" -seed="${FUZZ_SEED:-1}" -runs="$runs" -max_total_time="$seconds" \
    -max_len=4096 -rss_limit_mb=2048 -timeout=10 "build-fuzz/corpus-$target" tests/data tests/data/game/ruby18 \
    tests/data/game/hostile_a tests/data/diff/ruby18
}
# Each fuzzer uses one core: two lanes side by side, the loader then the
# comparison of two versions in one, the viewer then the game folder in the
# other.
(fuzz fuzz_load 60000 && fuzz fuzz_diff 10000) >build-fuzz/lane-1.log 2>&1 &
lane=$!
view_status=0 lane_status=0
(fuzz fuzz_view 15000 && fuzz fuzz_game 1100) >build-fuzz/lane-2.log 2>&1 || view_status=$?
wait "$lane" || lane_status=$?
grep -h '^Done ' build-fuzz/lane-1.log build-fuzz/lane-2.log || true
for failed in "1:$lane_status" "2:$view_status"; do
  if [ "${failed#*:}" != 0 ]; then
    tail -n 80 "build-fuzz/lane-${failed%%:*}.log"
    echo "The fuzzer found a fault (build-fuzz/lane-${failed%%:*}.log)." >&2
    exit 1
  fi
done
# quarnix-dump --json must stay valid JSON for every file the fuzzer kept.
QUARNIX_FUZZ_CORPUS=build-fuzz/corpus-fuzz_load \
  ./build/tests/quarnix_tests --gtest_filter='DumpOptionsTest.JsonIsValidForEveryFuzzCorpusFileThatLoads'
stage "All tests passed."
