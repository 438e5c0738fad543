# Sourced by the scripts that run the Windows programs under Wine: makes a
# scratch folder ($scratch), starts a virtual display (Xvfb) and a new Wine
# prefix inside the scratch folder, and ends both and removes the folder
# when the calling script exits.  WINE_SCREEN sets the display's size
# (default 1280x800x24); WINE_DPI the prefix's DPI (Windows' LogPixels,
# default 96: 100 % scaling; 144 is 150 %).
#
#   . "$root/scripts/wine-session.sh"
scratch="$(mktemp -d)"
xvfb=""
wine_session_end() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
trap wine_session_end EXIT
# The display first: Wine's desktop process, started with the prefix,
# keeps the display it was started with.
Xvfb -displayfd 3 -screen 0 "${WINE_SCREEN:-1280x800x24}" -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$scratch/display")"
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"
