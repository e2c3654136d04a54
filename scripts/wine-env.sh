# Sourced by the scripts that run Windows programs: an Xvfb display and the
# project's own 32-bit Wine prefix, with a persistent wineserver.
# Call wine_up before and wine_down after.
ROOT="${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export WINEARCH=win32
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/win32/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all,err+module}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# The tests that take the desktop (real windows, HKLM, the tray) run in lanes: each
# lane a prefix with its own wineserver and its own Xvfb display, which wine_up
# brings up. CTest gives such a test one lane (resource "desktop", ids lane0 to
# lane3: cmake/wine-lanes.json), so four of them run at once without meeting. Most
# of a Windows test's time is spent waiting (on its programs' windows and timers):
# four lanes keep two processors busier than two would, not twice as busy.
if [[ "${CTEST_RESOURCE_GROUP_0_DESKTOP:-}" =~ ^id:lane([0-9]+), ]]; then
  _lane_prefix="QRTL_WINE_LANE${BASH_REMATCH[1]}_PREFIX"
  _lane_display="QRTL_WINE_LANE${BASH_REMATCH[1]}_DISPLAY"
  if [ -n "${!_lane_prefix:-}" ]; then
    export WINEPREFIX="${!_lane_prefix}" DISPLAY="${!_lane_display}"
  else
    echo "wine-env: lane ${BASH_REMATCH[1]} is not up (wine_up); running in $WINEPREFIX" >&2
  fi
fi
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

# A free display number with a running Xvfb on it, in XVFB_DISPLAY; its pid is kept
# for wine_down.
XVFB_PIDS=()
xvfb_start() {
  local n pid
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 1 50); do DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
      XVFB_PIDS+=("$pid"); XVFB_DISPLAY=":$n"; return 0
    fi
    kill "$pid" 2>/dev/null
  done
  return 1
}

# The display of this shell: the one DISPLAY names, or a new one.
wine_display() {
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    xvfb_start && export DISPLAY="$XVFB_DISPLAY"
  fi
}

# The prefix of this shell, made where it is missing (15 s to over a minute, as busy
# as the machine is: scripts/test.sh makes it beside the builds, which need no Wine,
# after wine_display). Its server has ended and written the registry when it returns.
wine_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating the prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
}

# wine_up [LANES]: the prefix and display of this shell (lane 0), and LANES-1 more
# lanes for the Windows suite (default 4 in all). Lane N > 0 is the prefix
# "$WINEPREFIX-laneN", made as a copy of lane 0's, with its own display.
QRTL_WINE_LANES_UP=0
wine_up() {
  local lanes=${1:-4} lane prefix display
  wine_display
  wine_prefix
  for lane in $(seq 0 $((lanes - 1))); do
    prefix="$WINEPREFIX" display="$DISPLAY"
    if [ "$lane" -gt 0 ]; then
      prefix="$WINEPREFIX-lane$lane"
      # A copy is ready in seconds where wineboot takes a minute; lane 0's server
      # has written its registry when it ended (wineserver -w above, or wine_down).
      if [ ! -f "$prefix/system.reg" ]; then
        rm -rf "$prefix"
        cp -a "$WINEPREFIX" "$prefix"
      fi
      xvfb_start && display="$XVFB_DISPLAY"
    fi
    export "QRTL_WINE_LANE${lane}_PREFIX=$prefix" "QRTL_WINE_LANE${lane}_DISPLAY=$display"
    # One persistent server a lane for the whole run: each program then starts in a
    # tenth of a second.
    WINEPREFIX="$prefix" wineserver -p 2>/dev/null || true
    # Window captions drawn by Wine itself, so screenshots show them.
    WINEPREFIX="$prefix" DISPLAY="$display" \
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true
  done
  QRTL_WINE_LANES_UP=$lanes
}

wine_down() {
  local lane prefix
  for lane in $(seq 0 $((QRTL_WINE_LANES_UP - 1))); do
    prefix="QRTL_WINE_LANE${lane}_PREFIX"
    WINEPREFIX="${!prefix:-$WINEPREFIX}" wineserver -k 2>/dev/null || true
    unset "QRTL_WINE_LANE${lane}_PREFIX" "QRTL_WINE_LANE${lane}_DISPLAY"
  done
  [ "$QRTL_WINE_LANES_UP" -gt 0 ] || wineserver -k 2>/dev/null || true
  QRTL_WINE_LANES_UP=0
  [ ${#XVFB_PIDS[@]} -gt 0 ] && kill "${XVFB_PIDS[@]}" 2>/dev/null || true
  XVFB_PIDS=()
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
