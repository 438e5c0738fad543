#!/usr/bin/env bash
# The Windows programs' tests, under Wine: the core tests cross-built,
# quarnix-dump.exe byte for byte against the Linux build (LINUX_BUILD, which
# must hold app/quarnix-dump) on every corpus file, and quarnix.exe driven
# from outside on a virtual display (Xvfb).  A new Wine prefix is made for
# the run in a temporary folder and removed afterwards.
#
#   scripts/test-windows.sh LINUX_BUILD [WINDOWS_BUILD]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
linux="$(cd "${1:?usage: scripts/test-windows.sh LINUX_BUILD [WINDOWS_BUILD]}" && pwd)"
build="${2:-$root/build-windows}"

"$root/scripts/build-windows.sh" "$build"

scratch="$(mktemp -d)"
xvfb=""
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
# The display first: Wine's desktop process, started with the prefix,
# keeps the display it was started with.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$scratch/display")"
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$root/scripts/wine-prefix.sh"

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
echo "-- quarnix.exe driven from outside"
wine "$build/tests/win32/quarnix_win32_e2e_tests.exe" --gtest_brief=1

echo "Windows tests passed."
