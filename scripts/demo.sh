#!/usr/bin/env bash
# The monitor at work under Wine: sets up what is missing, builds the Windows
# preset, then runs QRTLIRMoni.exe with the simulated card driver, the trace viewer
# and the stand-in TV client in build/demo, feeds a short key sequence and prints
# what happened. Screenshots go to docs/screenshots/.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"

bash scripts/setup.sh
# QRTL_DEMO_BUILD and QRTL_DEMO_DIR move the build tree and the demo folder elsewhere.
B="${QRTL_DEMO_BUILD:-$ROOT/build/win32}"
DEMO="${QRTL_DEMO_DIR:-$ROOT/build/demo}"
mkdir -p "$DEMO"
echo "== building the Windows preset"
if [ -z "${QRTL_DEMO_BUILD:-}" ]; then
  cmake --preset win32 >"$DEMO/build.log" 2>&1 || { tail -30 "$DEMO/build.log"; exit 1; }
else
  cmake -S "$ROOT" -B "$B" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=MinSizeRel >"$DEMO/build.log" 2>&1 || { tail -30 "$DEMO/build.log"; exit 1; }
fi
cmake --build "$B" -j"$(nproc)" >>"$DEMO/build.log" 2>&1 || { tail -30 "$DEMO/build.log"; exit 1; }

source scripts/wine-env.sh

MONITOR="$B/app/$QRTL_MONITOR_EXE"
DRIVER="$B/sim/simdriver/$QRTL_DRIVER_NT"
TRACE="$B/tools/traceviewer/QRTLTrace.exe"
STANDIN="$B/sim/standin/StandinTV.exe"
CTL="$B/sim/qrtlctl/QRTLCtl.exe"
PRESS="$ROOT/sim/simdriver/press.sh"
SHOTS="$ROOT/docs/screenshots"
VIEWER_DIR="$DEMO/TV Viewer"

SETUP_TITLE="$QRTL_SETUP_CAPTION"
ABOUT_TITLE="$QRTL_ABOUT_CAPTION"
VIEWER_TITLE="$QRTL_TRACE_VIEWER_TITLE"
CLIENT_TITLE="Standin TV"
REG_KEY='HKLM\Software\Standin\StandinTV'
WM_TRAYICON=0x888
WM_LBUTTONDBLCLK=0x203
IDCANCEL=2

# Runs a Windows console program with its output in a file (Wine's helper
# processes hold pipes open), then shows the output.
ctl() { wine "$CTL" "$@" >"$DEMO/ctl.out" 2>&1; local rc=$?; cat "$DEMO/ctl.out"; return $rc; }

cleanup() {
  set +e
  if [ -n "${DISPLAY:-}" ]; then
    close_monitor 5 >/dev/null 2>&1
    ctl close "$CLIENT_TITLE" >/dev/null 2>&1
    ctl close "$VIEWER_TITLE" >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Standin' /f >/dev/null 2>&1
  fi
  wine_down
  [ -n "${WATCHDOG:-}" ] && kill "$WATCHDOG" 2>/dev/null
}
trap cleanup EXIT
trap 'echo "demo: stopped" >&2; exit 1' TERM INT
# Never hang: the whole run has a deadline.
( trap 'kill $! 2>/dev/null; exit 0' TERM; sleep 240 & wait $!; kill -TERM $$ ) </dev/null >/dev/null 2>&1 &
WATCHDOG=$!

echo "== preparing $DEMO"
find "$DEMO" -mindepth 1 -not -name build.log -delete
mkdir -p "$DEMO/irqueue" "$VIEWER_DIR" "$SHOTS"
cp "$MONITOR" "$DRIVER" "$DEMO/"
cp "$STANDIN" "$VIEWER_DIR/"
# The sample profile, with the test panel shown, a quicker poll and the client's
# launch keys switched on (the registry key below names the stand-in's folder).
sed -e 's/^ShowMainWindow=.*/ShowMainWindow=1/' -e 's/^Timer=.*/Timer=300/' \
    -e 's/^ShutDown=.*/ShutDown=0/' -e 's/^;1_\(Reg\|ExeName\)/1_\1/' \
    "docs/$QRTL_SAMPLE_PROFILE_NAME" >"$DEMO/$QRTL_PROFILE_NAME"

wine_up 1
wine reg add "$REG_KEY" /v InstallDir /d "$(winpath "$VIEWER_DIR")" /f >/dev/null 2>&1

shot() {  # shot NAME [WINDOW-TITLE]: the whole screen, cropped to the window when named
  local name="$1" title="${2:-}" geo
  if [ -n "$title" ] && geo=$(xwininfo -name "$title" 2>/dev/null); then
    local x y w h
    x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$geo")
    y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$geo")
    w=$(awk '/Width:/ {print $NF}' <<<"$geo")
    h=$(awk '/Height:/ {print $NF}' <<<"$geo")
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$SHOTS/$name.png"
  else
    # The POWER prompt has no title; it is centred on the 1024x768 screen.
    import -window root -crop 436x118+294+324 +repage "$SHOTS/$name.png"
  fi
  echo "   screenshot docs/screenshots/$name.png"
}

wait_file_line() {  # wait_file_line FILE PATTERN COUNT SECONDS
  local i
  for i in $(seq 1 $(( $4 * 10 ))); do
    [ "$(grep -c -- "$2" "$1" 2>/dev/null || true)" -ge "$3" ] && return 0
    sleep 0.1
  done
  echo "demo: timed out waiting for \"$2\" in $1" >&2
  return 1
}

press() {  # press KEY CODE: one code into the driver's queue, then wait until it is read
  echo "-- remote: $1 (code $2)"
  local n
  n=$(grep -c -- "-> $2 " "$DEMO/simdriver.log" 2>/dev/null || true)
  bash "$PRESS" "$DEMO/irqueue" "$2"
  wait_file_line "$DEMO/simdriver.log" "-> $2 " $(( n + 1 )) 10
}

echo "== starting the trace viewer, the stand-in client and the monitor"
wine "$TRACE" --out "$(winpath "$DEMO/trace.txt")" >"$DEMO/traceviewer.out" 2>&1 &
ctl wait "$VIEWER_TITLE" 20 >/dev/null
wine "$STANDIN" --log "$(winpath "$DEMO/standin.log")" >"$DEMO/standin.out" 2>&1 &
ctl wait "$CLIENT_TITLE" 20 >/dev/null
(cd "$DEMO" && wine "$QRTL_MONITOR_EXE" >"$DEMO/monitor.out" 2>&1 &)
ctl wait "$MAIN_TITLE" 20 >/dev/null
wait_file_line "$DEMO/trace.txt" "DoTimer : Byte" 1 20

press VOL+ 20
wait_file_line "$DEMO/standin.log" " WM_" 1 10
press CH+ 22
wait_file_line "$DEMO/standin.log" " WM_" 2 10
press "an unmapped key" 99
sleep 1
# Clear of Wine's own tray window in the top-left corner.
ctl move "$MAIN_TITLE" 160 60
sleep 0.5
shot main-window "$MAIN_TITLE"

echo "-- tray icon double click: the setup dialog"
ctl post "$MAIN_TITLE" $WM_TRAYICON $WM_TRAYICON $WM_LBUTTONDBLCLK
ctl wait "$SETUP_TITLE" 10 >/dev/null
sleep 0.5
shot setup-dialog "$SETUP_TITLE"
ctl click "$SETUP_TITLE" 1011
ctl wait "$ABOUT_TITLE" 10 >/dev/null
sleep 0.5
shot about-box "$ABOUT_TITLE"
ctl click "$ABOUT_TITLE" 1
ctl waitgone "$ABOUT_TITLE" 10
ctl post "$SETUP_TITLE" $WM_COMMAND $IDCANCEL 0
ctl waitgone "$SETUP_TITLE" 10

echo "-- closing the stand-in client"
ctl close "$CLIENT_TITLE"
ctl waitgone "$CLIENT_TITLE" 10
sleep 1

n=$(grep -c "POWER @" "$DEMO/trace.txt" || true)
press POWER 10
wait_file_line "$DEMO/trace.txt" "Lookup Result : 10, POWER" $(( n + 1 )) 10
sleep 0.8
shot power-prompt
echo "-- waiting for the prompt to run out and the client to be launched"
ctl wait "$CLIENT_TITLE" 15 >/dev/null
wait_file_line "$VIEWER_DIR/StandinTV.log" "START" 1 10
sleep 1

echo
echo "== trace lines of the keys and the setup dialog (QRTLTrace.exe; 99 is unmapped: no lookup)"
grep -E "IRCODE|Lookup Result|LookUpKey|KEY :|UpdateRegistry|AutoRun|ShutDown" "$DEMO/trace.txt" || true
echo
echo "== the poll tick that handled VOL+, in full"
awk '/DoTimer : Byte/ { if (hit) exit; tick = "" }
     { tick = tick $0 "\n" }
     /IRCODE : 20 / { hit = 1 }
     END { if (hit) printf "%s", tick }' "$DEMO/trace.txt"
echo
echo "== messages the stand-in client received"
grep " WM_" "$DEMO/standin.log" || true
echo
echo "== history list of the monitor (newest first)"
ctl list "$MAIN_TITLE" 1000
echo
echo "== client launched by POWER"
grep "START" "$VIEWER_DIR/StandinTV.log"
echo
echo "== simulated driver calls"
for f in QRDiI2CInit QRDiI2CReadByte QRDiI2CClose; do
  printf '%-16s %s\n' "$f" "$(grep -c "$f" "$DEMO/simdriver.log" || true)"
done

echo
echo "== closing the monitor (tray menu \"Close\")"
close_monitor 10
wait_file_line "$DEMO/simdriver.log" "QRDiI2CClose" 1 10
echo "driver closed: $(grep -c QRDiI2CClose "$DEMO/simdriver.log") time(s)"
ctl close "$CLIENT_TITLE" >/dev/null 2>&1 || true
ctl close "$VIEWER_TITLE" >/dev/null 2>&1 || true
echo "demo: done"
