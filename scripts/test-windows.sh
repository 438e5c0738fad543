#!/usr/bin/env bash
# The Windows programs' tests, under Wine: the core tests cross-built, and
# quarnix-dump.exe byte for byte against the Linux build (LINUX_BUILD, which
# must hold app/quarnix-dump) on every corpus file.  A new Wine prefix is
# made for the run in a temporary folder and removed afterwards.
#
#   scripts/test-windows.sh LINUX_BUILD [WINDOWS_BUILD]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
linux="$(cd "${1:?usage: scripts/test-windows.sh LINUX_BUILD [WINDOWS_BUILD]}" && pwd)"
build="${2:-$root/build-windows}"

"$root/scripts/build-windows.sh" "$build"

scratch="$(mktemp -d)"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1

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
echo "Windows tests passed."
