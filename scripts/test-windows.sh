#!/usr/bin/env bash
# The Windows programs' tests, under Wine: the core tests cross-built,
# quarnix-dump.exe byte for byte against the Linux build (LINUX_BUILD, which
# must hold app/quarnix-dump) on every corpus file, the pane contract suites
# over the native panes, and quarnix.exe driven from outside, both on a
# virtual display (Xvfb).  A new Wine prefix is made for
# the run in a temporary folder and removed afterwards.
#
#   scripts/test-windows.sh LINUX_BUILD [WINDOWS_BUILD]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
linux="$(cd "${1:?usage: scripts/test-windows.sh LINUX_BUILD [WINDOWS_BUILD]}" && pwd)"
build="${2:-$root/build-windows}"

"$root/scripts/build-windows.sh" "$build"

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
    exit 1
  fi
done
echo "-- the pane contract suites over the native panes, on real controls"
wine "$build/tests/win32/quarnix_win32_pane_tests.exe" --gtest_brief=1

echo "-- quarnix.exe driven from outside"
wine "$build/tests/win32/quarnix_win32_e2e_tests.exe" --gtest_brief=1

# Once more at 150 % display scaling, as many Windows laptops run: the
# suites' window then lays itself out for 144 DPI from the start.
echo "-- the pane contract suites at 144 DPI"
wineserver -k 2>/dev/null || true
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -w
wine "$build/tests/win32/quarnix_win32_pane_tests.exe" --gtest_brief=1

echo "Windows tests passed."
