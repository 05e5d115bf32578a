#!/usr/bin/env bash
# Builds dist/ZarnikRepair.exe and starts it under Wine. With a display the window opens and
# this waits until it is closed; without one (a server, CI) it starts a virtual display, saves
# a screenshot of the window to dist/screenshot.png and closes the window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target ZarnikRepair window_tool
source scripts/wine-env.sh
zr_wine_prefix

if [ -n "${DISPLAY:-}" ]; then
  exec wine dist/ZarnikRepair.exe
fi

zr_virtual_display
log=$(mktemp)
wine dist/ZarnikRepair.exe >"$log" 2>&1 </dev/null &
program=$!
wine build/windows/tests/window_tool.exe wait >>"$log" 2>&1 </dev/null
# The window is 380 x 250, centred on the 1920 x 1080 display.
import -window root -crop 380x250+770+415 +repage dist/screenshot.png
wine build/windows/tests/window_tool.exe close >>"$log" 2>&1 </dev/null
wait "$program"
wineserver -k 2>/dev/null || true
rm -f "$log"
echo "saved dist/screenshot.png"
