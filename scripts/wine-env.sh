# Sourced: the environment every Wine run of this project uses, and the prefix made once.
# The prefix lives in the build folder, so nothing outside the checkout is touched.
ZR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${ZR_WINEPREFIX:-$ZR_ROOT/build/wineprefix}"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

zr_wine_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.zr-ready" ]; then
      # Wine's helpers outlive this command: keep them off our output.
      wineboot -i >/dev/null 2>&1 </dev/null
      wineserver -w
      touch "$WINEPREFIX/.zr-ready"
    fi
  ) 9>"$(dirname "$WINEPREFIX")/.wineprefix.lock"
}
