#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64: quarnix.exe (the native
# viewer) and quarnix-dump.exe, with the core tests, into BUILD_DIR
# (default build-windows); the two programs are copied to BUILD_DIR/bin.
# Both are linked statically and must import nothing but Windows' own DLLs:
# the build fails otherwise.  Installs what it needs on Debian.
#
#   scripts/build-windows.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-windows}"

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DQUARNIX_QT=OFF -DQUARNIX_BENCH=OFF -DCMAKE_UNITY_BUILD=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

# DLLs every Windows has; anything else would have to be shipped beside
# the programs.
system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|shlwapi|advapi32|ole32|oleaut32|msvcrt|ws2_32|uxtheme|version|api-ms-win-[a-z0-9-]+)\.dll$'
mkdir -p "$build/bin"
status=0
for exe in "$build/app/quarnix.exe" "$build/app/quarnix-dump.exe"; do
  [ -f "$exe" ] || continue
  cp "$exe" "$build/bin/"
  while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$system_dlls"; then
      echo "$(basename "$exe") imports $dll, which Windows does not ship" >&2
      status=1
    fi
  done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done
# The folder a user is given holds no test build and no test switch.
[ ! -f "$build/bin/quarnix.exe" ] || "$root/scripts/no-test-switches.sh" "$build/bin/quarnix.exe" || status=1
exit $status
