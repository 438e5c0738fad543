#!/usr/bin/env bash
# Remakes docs/screenshot-windows.png: quarnix.exe under Wine on a virtual
# display, Map001.rxdata open, a container and one of its rows selected;
# and docs/screenshot-compare-windows.png: tests/data/diff/ruby18/
# map_new.rxdata compared with map_old.rxdata, F8 pressed until the preview
# shows the inserted command among its event page's lines.
# With a DPI other than 96 (Windows' display scaling: 144 is 150 %), the
# same window at that DPI, into docs/screenshot-windows-<DPI>dpi.png.
# Builds the Windows programs first (scripts/build-windows.sh).
#
#   scripts/screenshot-windows.sh [DPI]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-windows"
dpi="${1:-96}"
"$root/scripts/build-windows.sh" "$build" >/dev/null

picture="$root/docs/screenshot-windows.png"
[ "$dpi" = 96 ] || picture="$root/docs/screenshot-windows-${dpi}dpi.png"
compared="$root/docs/screenshot-compare-windows.png"
[ "$dpi" = 96 ] || compared="$root/docs/screenshot-compare-windows-${dpi}dpi.png"
# The window is 1000 x 640 at 96 DPI, as large in inches at any other.
width=$((1000 * dpi / 96)) height=$((640 * dpi / 96))
export WINE_DPI="$dpi" WINE_SCREEN="$((width + 200))x$((height + 160))x24"
. "$root/scripts/wine-session.sh"
# A desktop of Wine's own draws the window frame (Xvfb has no window manager).
wine explorer /desktop=Quarnix,${width}x${height} "$build/app/quarnix-test.exe" \
  --screenshot="$scratch/shot.bmp" "$root/tests/data/Map001.rxdata"
ruby "$root/scripts/bmp-to-png.rb" "$scratch/shot.bmp" "$picture"
echo "Wrote $picture"
wine explorer /desktop=Quarnix,${width}x${height} "$build/app/quarnix-test.exe" --screenshot="$scratch/compare.bmp" \
  --compare "$root/tests/data/diff/ruby18/map_old.rxdata" "$root/tests/data/diff/ruby18/map_new.rxdata"
ruby "$root/scripts/bmp-to-png.rb" "$scratch/compare.bmp" "$compared"
echo "Wrote $compared"
