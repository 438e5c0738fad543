#!/usr/bin/env bash
# Remakes docs/screenshot-windows.png: quarnix.exe under Wine on a virtual
# display, Map001.rxdata open, a container and one of its rows selected.
# Builds the Windows programs first (scripts/build-windows.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-windows"
"$root/scripts/build-windows.sh" "$build" >/dev/null

. "$root/scripts/wine-session.sh"
# A desktop of Wine's own draws the window frame (Xvfb has no window manager).
wine explorer /desktop=Quarnix,1000x640 "$build/app/quarnix-test.exe" \
  --screenshot="$scratch/shot.bmp" "$root/tests/data/Map001.rxdata"
ruby "$root/scripts/bmp-to-png.rb" "$scratch/shot.bmp" "$root/docs/screenshot-windows.png"
echo "Wrote docs/screenshot-windows.png"
