#!/usr/bin/env bash
# Makes a new Wine prefix in the folder WINEPREFIX names (it must not exist
# yet or be empty), for the Windows programs' tests, benchmarks and
# screenshots.  The fonts that the Windows dialogs and controls ask for
# (Tahoma, MS Shell Dlg, 宋体) have no Chinese glyphs under Wine; they are
# replaced in this prefix only by Noto Sans CJK SC (fonts-noto-cjk); the
# monospace 新宋体 (NSimSun) of scripts and compared lines by its Mono face.
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX to the folder for the new prefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
# The display scaling: LogPixels, read when Wine's processes start.
if [ "${WINE_DPI:-96}" != 96 ]; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$WINE_DPI" /f >/dev/null 2>&1
fi
for font in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" SimSun 宋体 "Microsoft Sans Serif"; do
  LC_ALL=C.UTF-8 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d "Noto Sans CJK SC" /f >/dev/null 2>&1
done
for font in NSimSun 新宋体; do
  LC_ALL=C.UTF-8 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d "Noto Sans Mono CJK SC" /f >/dev/null 2>&1
done
wineserver -w
