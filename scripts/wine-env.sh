# Sourced by the scripts that run Windows programs: an Xvfb display and the
# project's own 32-bit Wine prefix, with a persistent wineserver.
# Call wine_up before and wine_down after.
ROOT="${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export WINEARCH=win32
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/win32/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all,err+module}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Running one program needs nothing more (cmake/wine-run.sh).
[ -n "${QRTL_WINE_ENV_ONLY:-}" ] && return 0
# The product's facts (QRTL_MONITOR_CAPTION, QRTL_ID_MENU_CLOSE, QRTL_DRIVER_NT ...)
# from their one home; no build is needed for them.
eval "$(cmake -P "$ROOT/cmake/Product.cmake")"
MAIN_TITLE="$QRTL_MONITOR_CAPTION"
WM_COMMAND=0x111

# Configures the win32 preset and builds the named targets, quietly.
win32_build() {
  cmake --preset win32 >/dev/null && cmake --build "$ROOT/build/win32" -j2 --target "$@" >/dev/null
}

# A Linux path as Wine's Z: drive names it.
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# QRTLCtl, the window-control test helper, with its output in the file CTL_OUT
# (Wine's helper processes hold pipes open).
ctl() { wine "$ROOT/build/win32/sim/qrtlctl/QRTLCtl.exe" "$@" >"${CTL_OUT:-/dev/null}" 2>&1; }

# Ends the running monitor through its tray menu's "Close" command and waits up to
# SECONDS (default 10) until its window is gone. Status 1 when no monitor runs, 2
# when its window stays.
close_monitor() {
  ctl post "$MAIN_TITLE" $WM_COMMAND "$QRTL_ID_MENU_CLOSE" 0 || return 1
  ctl waitgone "$MAIN_TITLE" "${1:-10}" || return 2
}

XVFB_PID=""
wine_up() {
  local n
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    for n in $(seq 91 140); do
      [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
      Xvfb ":$n" -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp >/dev/null 2>&1 &
      XVFB_PID=$!
      export DISPLAY=":$n"
      for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
      xdpyinfo >/dev/null 2>&1 && break
      kill "$XVFB_PID" 2>/dev/null; XVFB_PID=""
    done
  fi
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating the prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # One persistent server for the whole run: each program then starts in a tenth of a second.
  wineserver -p 2>/dev/null || true
  # Window captions drawn by Wine itself, so screenshots show them.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true
}

wine_down() {
  wineserver -k 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=""
}

# The Linux pid of the running program NAME (as ps shows it, e.g. QRTLIRMoni.exe or
# wineserver32) of this prefix; empty when there is none. Waits up to five seconds.
wine_pid() {
  local p
  for _ in $(seq 1 50); do
    for p in $(pgrep -x "$1" || true); do
      if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
        echo "$p"; return 0
      fi
    done
    sleep 0.1
  done
}
