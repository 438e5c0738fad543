#!/usr/bin/env bash
# The Windows programs' tests, under Wine: the core tests cross-built,
# quarnix-dump.exe byte for byte against the Linux build (LINUX_BUILD, which
# must hold app/quarnix-dump) on every corpus file, the pane contract suites
# over the native panes, and quarnix.exe driven from outside, both on a
# virtual display (Xvfb), the pane suites at 96 and at 144 DPI.  A new Wine
# prefix is made for the run in a temporary folder and removed afterwards.
#
#   scripts/test-windows.sh LINUX_BUILD [WINDOWS_BUILD]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
linux="$(cd "${1:?usage: scripts/test-windows.sh LINUX_BUILD [WINDOWS_BUILD]}" && pwd)"
build="${2:-$root/build-windows}"

"$root/scripts/build-windows.sh" "$build"

# Two Wine sessions, each on a display of its own, side by side: the tests
# mostly wait for Wine, so the two lanes share the cores well.
#  - In the background: the pane contract suites over the native panes, on
#    real controls, then quarnix.exe driven from outside by keys.
#  - Here: the core tests, quarnix-dump.exe against the Linux build,
#    and the pane suites once more at 150 % display scaling (144 DPI), as
#    many Windows laptops run, the window laying itself out for 144 DPI from
#    the start.  The suites of what the scale does not touch (the texts and
#    marks of a comparison or of the folder's results, the open's timing)
#    run at 96 DPI only.
(
  . "$root/scripts/wine-session.sh"
  echo "-- the pane contract suites over the native panes, on real controls"
  wine "$build/tests/win32/quarnix_win32_pane_tests.exe" --gtest_brief=1
  echo "-- quarnix.exe driven from outside"
  wine "$build/tests/win32/quarnix_win32_e2e_tests.exe" --gtest_brief=1
) >"$build/pane-tests.log" 2>&1 &
panes=$!

# This session's prefix is made at 144 DPI; the core tests and the dump
# draw no window, so the scale does not touch them.
export WINE_DPI=144
. "$root/scripts/wine-session.sh"

echo "-- core tests under Wine"
wine "$build/tests/quarnix_tests.exe" --gtest_brief=1

echo "-- quarnix-dump.exe against the Linux build"
for file in "$root"/tests/data/*.rxdata "$root"/tests/data/*.bin; do
  set +e
  "$linux/app/quarnix-dump" "$file" >"$scratch/linux.out" 2>"$scratch/linux.err"; linux_status=$?
  wine "$build/bin/quarnix-dump.exe" "$file" >"$scratch/windows.out" 2>"$scratch/windows.err"; windows_status=$?
  set -e
  if [ "$linux_status" != "$windows_status" ] || ! cmp -s "$scratch/linux.out" "$scratch/windows.out" ||
     ! cmp -s "$scratch/linux.err" "$scratch/windows.err"; then
    echo "quarnix-dump.exe differs from the Linux build on $(basename "$file")" >&2
    echo "exit status: Linux $linux_status, Windows $windows_status; standard error, Linux then Windows:" >&2
    head -c 2000 "$scratch/linux.err" "$scratch/windows.err" >&2
    cmp "$scratch/linux.out" "$scratch/windows.out" >&2 || true
    exit 1
  fi
done

echo "-- the pane contract suites at 144 DPI"
wine "$build/tests/win32/quarnix_win32_pane_tests.exe" --gtest_brief=1 \
  --gtest_filter='-CompareContractTest.*:GameFolderContractTest.*:LoadRunnerTest.*'

echo "-- the pane suites at 96 DPI and quarnix.exe driven from outside (run beside the above)"
if ! wait "$panes"; then
  cat "$build/pane-tests.log"
  echo "The pane suites or quarnix.exe driven from outside fail ($build/pane-tests.log)." >&2
  exit 1
fi
grep -E '^(--|\[  PASSED  \]|\[==========\])' "$build/pane-tests.log"

echo "Windows tests passed."
