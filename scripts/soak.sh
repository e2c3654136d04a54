#!/usr/bin/env bash
# A long run of the real monitor under Wine: Timer=10, the simulated driver fed
# mapped codes at a steady rate, the stand-in client receiving them.
#   bash scripts/soak.sh [MINUTES]      (default 10)
# Prints one line a minute: ticks (receiver reads), keys fed, keys the client
# received, and the resident memory of the monitor's Wine process from /proc.
# Passes when every fed key arrived exactly once, in order (none lost, none
# doubled), and resident memory grew by less than 1 MB after the first minute.
# Environment: SOAK_RATE keys per second (default 10). Runs in its own Wine prefix
# (build/soak/wineprefix) and folder (build/soak/run); not part of CI.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
MINUTES="${1:-10}"
RATE="${SOAK_RATE:-10}"
case "$MINUTES$RATE" in *[!0-9]*|'') echo "usage: $0 [MINUTES]" >&2; exit 2 ;; esac

B="$ROOT/build/win32"
RUN="$ROOT/build/soak/run"
export WINEPREFIX="${SOAK_PREFIX:-$ROOT/build/soak/wineprefix}"

source scripts/wine-env.sh
CTL_OUT="$RUN/ctl.out"
echo "== building the monitor, the simulated driver, the stand-in client and QRTLCtl"
win32_build QRTLIRMoni qrd210de StandinTV QRTLCtl

rm -rf "$RUN"
mkdir -p "$RUN/irqueue"
cp "$B/app/$QRTL_MONITOR_EXE" "$B/sim/simdriver/$QRTL_DRIVER_NT" "$RUN/"

# Twenty mapped keys: codes 20-39, commands alternately WM_COMMAND and WM_KEYDOWN.
NAMES=(ZOOM SCAN TVFMSW SWITCH VOL+ VOL- CH+ CH- MUTE REVIEW RESET+ RESET- FREZE+ FREZE- FUNC BTN0 BTN1 BTN2 BTN3 BTN4)
declare -A EXPECT
{
  printf '[Main]\r\nShowMainWindow=0\r\nTimer=10\r\nAutoRun=0\r\nShutDown=0\r\n'
  printf '[Client]\r\nDefault=0\r\n0_Item=STANDINTV\r\n0_Caption=Standin TV\r\n'
  printf '0_ClassName=StandinTVClass\r\n0_Child0=1001\r\n0_Child1=1002\r\n0_Child2=1003\r\n0_Control=1\r\n'
  printf '[KeyMap_Controler]\r\nPOWER=250\r\n'
  for i in "${!NAMES[@]}"; do printf '%s=%d\r\n' "${NAMES[$i]}" $((20 + i)); done
  printf '[KeyMap_STANDINTV]\r\n'
  for i in "${!NAMES[@]}"; do
    if [ $((i % 2)) -eq 0 ]; then printf '%s=#%X\r\n' "${NAMES[$i]}" $((0x8001 + i))
    else printf '%s=*%X\r\n' "${NAMES[$i]}" $((0x41 + i)); fi
  done
} >"$RUN/$QRTL_PROFILE_NAME"
for i in "${!NAMES[@]}"; do
  if [ $((i % 2)) -eq 0 ]; then EXPECT[$((20 + i))]=$(printf 'WM_COMMAND wParam=0x%08X lParam=0x00000000' $((0x18001 + i)))
  else EXPECT[$((20 + i))]=$(printf 'WM_KEYDOWN wParam=0x%08X lParam=0x00000000' $((0x41 + i))); fi
done

FEEDER=""
cleanup() {
  set +e
  [ -n "$FEEDER" ] && kill "$FEEDER" 2>/dev/null
  close_monitor 10
  ctl close "Standin TV"
  wine_down
}
trap cleanup EXIT
wine_up 1

wine "$B/sim/standin/StandinTV.exe" --log "$(winpath "$RUN/standin.log")" >"$RUN/standin.out" 2>&1 &
ctl wait "Standin TV" 30
(cd "$RUN" && wine "$QRTL_MONITOR_EXE" >"$RUN/monitor.out" 2>&1 &)
ctl wait "$MAIN_TITLE" 30

# The monitor's Wine process: the only QRTLIRMoni.exe of this prefix.
MON_PID=$(wine_pid "$QRTL_MONITOR_EXE")
[ -n "$MON_PID" ] || { echo "soak: the monitor's process was not found" >&2; exit 1; }
rss() { awk '/^VmRSS:/ {print $2}' "/proc/$MON_PID/status"; }
ticks() { grep -c 'QRDiI2CReadByte' "$RUN/simdriver.log" 2>/dev/null || echo 0; }
received() { grep -c ' WM_' "$RUN/standin.log" 2>/dev/null || echo 0; }

# The feeder: one code every 1/RATE seconds, names in feeding order, each code
# also appended to fed.txt.
(
  n=0
  period=$(awk -v r="$RATE" 'BEGIN {printf "%.4f", 1 / r}')
  while :; do
    code=$((20 + n % ${#NAMES[@]}))
    name=$(printf '%010d' "$n")
    printf '%d\r\n' "$code" >"$RUN/irqueue/$name.tmp"
    mv "$RUN/irqueue/$name.tmp" "$RUN/irqueue/$name"
    echo "$code" >>"$RUN/fed.txt"
    n=$((n + 1))
    sleep "$period"
  done
) &
FEEDER=$!

echo "== soak: $MINUTES minutes, Timer=10, $RATE keys/s, monitor pid $MON_PID"
printf '%-7s %10s %10s %10s %12s\n' minute ticks fed received "RSS kB"
first_rss=""
for m in $(seq 1 "$MINUTES"); do
  sleep 60
  kill -0 "$MON_PID" 2>/dev/null || { echo "soak: the monitor ended" >&2; exit 1; }
  r=$(rss)
  [ -z "$first_rss" ] && first_rss=$r
  printf '%-7s %10s %10s %10s %12s\n' "$m" "$(ticks)" "$(wc -l <"$RUN/fed.txt")" "$(received)" "$r"
done
last_rss=$(rss)

# Stop feeding, let the queue drain, then compare what was fed with what arrived.
kill "$FEEDER"; wait "$FEEDER" 2>/dev/null || true; FEEDER=""
for _ in $(seq 1 300); do
  [ -z "$(ls "$RUN/irqueue")" ] && break
  sleep 0.1
done
sleep 1
fed=$(wc -l <"$RUN/fed.txt")
while read -r code; do echo "${EXPECT[$code]}"; done <"$RUN/fed.txt" >"$RUN/expected.txt"
grep -o 'WM_.*' "$RUN/standin.log" | tr -d '\r' >"$RUN/got.txt" || true
got=$(wc -l <"$RUN/got.txt")
lost=0; doubled=0; order=ok
if ! cmp -s "$RUN/expected.txt" "$RUN/got.txt"; then
  order=differs
  [ "$got" -lt "$fed" ] && lost=$((fed - got))
  [ "$got" -gt "$fed" ] && doubled=$((got - fed))
fi
growth=$((last_rss - first_rss))
echo "== soak result: $fed keys fed, $got received, lost $lost, doubled $doubled, sequence $order;" \
     "RSS after minute 1 $first_rss kB, at the end $last_rss kB, growth $growth kB"
if [ "$order" = ok ] && [ "$growth" -lt 1024 ]; then
  echo "soak: PASS"
else
  echo "soak: FAIL"
  exit 1
fi
