#!/usr/bin/env bash
# Installs what is missing, builds both targets and runs every test: the host build plain and
# under sanitizers, static analysis, and the Windows tests under Wine in the project's own
# prefix (build/wineprefix), the end-to-end test on a virtual display when there is none.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

cmake --preset host
cmake --build --preset host
ctest --preset host

# The same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
cmake --preset host-sanitize
cmake --build --preset host-sanitize
ctest --preset host-sanitize

cmake --preset windows
cmake --build --preset windows

# clang-tidy and cppcheck on src/, with no findings.
bash scripts/lint.sh
# The end-to-end test drives the real window: it needs a display, virtual when there is none.
source scripts/wine-env.sh
zr_virtual_display
status=0
ctest --preset windows || status=$?
wineserver -k 2>/dev/null || true
exit $status
