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
      # Wine draws the window frames itself (there may be no window manager), and its
      # title-bar buttons need its Marlett font in the prefix.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f \
        >/dev/null 2>&1 </dev/null
      cp -n /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
      wineserver -w
      touch "$WINEPREFIX/.zr-ready"
    fi
  ) 9>"$(dirname "$WINEPREFIX")/.wineprefix.lock"
}

# Starts a virtual 1920x1080 display for this shell when there is none; stopped on exit.
zr_virtual_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  ZR_XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$number_file" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$number_file")"
  rm -f "$number_file"
  trap 'kill $ZR_XVFB_PID 2>/dev/null || true' EXIT
}

# Chinese text renders only with a Chinese locale.
export LANG=zh_CN.UTF-8
