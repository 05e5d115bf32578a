#!/usr/bin/env bash
# Installs what is missing, builds both targets and runs every test; the Windows tests
# run under Wine in the project's own prefix (build/wineprefix).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

cmake --preset host
cmake --build --preset host
ctest --preset host

cmake --preset windows
cmake --build --preset windows
# The end-to-end test drives the real window: it needs a display, virtual when there is none.
source scripts/wine-env.sh
zr_virtual_display
status=0
ctest --preset windows || status=$?
wineserver -k 2>/dev/null || true
exit $status
