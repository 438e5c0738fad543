#!/usr/bin/env bash
# Takes docs/screenshot.png and docs/screenshot-compare.png.  The first:
# the viewer with tests/data/game/ruby18/Map001.rxdata open, one of its
# containers selected and, in the list, one of its rows (a command of an
# event page, which the preview shows among the page's lines; else a link;
# else a text in Chinese), the uses across the game's folder of what a
# command refers to listed below the panes, the splitter moved to 320.
# The second: tests/data/diff/ruby18/map_new.rxdata compared with
# map_old.rxdata, F8 pressed until the preview shows the inserted command
# among its event page's lines.
#
#   scripts/screenshot.sh [BUILD_DIR]     (default: build-qt, built if needed)
#
# Runs offscreen (no display needed); with Xvfb installed and
# SCREENSHOT_XVFB=1 it runs under xvfb-run on a real X server instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-qt}"

"$root/scripts/build-viewer.sh" "$build"

mkdir -p "$root/docs"
run=(env QT_QPA_PLATFORM=offscreen)
if [ "${SCREENSHOT_XVFB:-0}" = 1 ]; then
  run=(xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb)
fi
if ! "${run[@]}" "$build/app/quarnix-test" --screenshot="$root/docs/screenshot.png" \
  "$root/tests/data/game/ruby18/Map001.rxdata" 2>/dev/null; then
  echo "quarnix could not take the screenshot" >&2
  exit 1
fi
echo "Wrote $root/docs/screenshot.png"
diff="$root/tests/data/diff/ruby18"
if ! "${run[@]}" "$build/app/quarnix-test" --screenshot="$root/docs/screenshot-compare.png" --compare \
  "$diff/map_old.rxdata" "$diff/map_new.rxdata" 2>/dev/null; then
  echo "quarnix could not take the comparison's screenshot" >&2
  exit 1
fi
echo "Wrote $root/docs/screenshot-compare.png"
