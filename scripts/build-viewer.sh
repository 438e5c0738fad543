#!/usr/bin/env bash
# Builds the viewer and its test build (quarnix-test) in BUILD_DIR (configured first when new), quietly unless
# the build fails.  Used by the screenshot and open-time scripts.
#
#   scripts/build-viewer.sh BUILD_DIR [CMAKE_BUILD_TYPE]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: scripts/build-viewer.sh BUILD_DIR [CMAKE_BUILD_TYPE]}"
if [ ! -x "$build/app/quarnix-test" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${2:-RelWithDebInfo}" -DQUARNIX_BENCH=OFF >/dev/null
fi
log="$(mktemp)"
if ! cmake --build "$build" --target quarnix quarnix-test >"$log" 2>&1; then
  cat "$log" >&2
  rm -f "$log"
  exit 1
fi
rm -f "$log"
