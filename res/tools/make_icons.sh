#!/usr/bin/env bash
# Redraws Quarnix's artwork into res/: the pane images, the application icon
# in every size (installed as the hicolor theme icons) and the Windows .ico.  The results
# are committed; run this only after changing make_icons.cpp.
# Needs qt6-base-dev, pkg-config and Ruby.
set -euo pipefail
res="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

g++ -std=c++20 -O1 -fPIC -o "$work/make_icons" "$res/tools/make_icons.cpp" \
  $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$work/make_icons" "$work/out"

cp "$work"/out/icons/*.png "$res/icons/"
mkdir -p "$res/app"
cp "$work"/out/app/*.png "$res/app/"

# The Windows icon group, from the same drawing.
ruby "$res/tools/make_ico.rb" "$res/quarnix.ico"

echo "Artwork written to $res"
