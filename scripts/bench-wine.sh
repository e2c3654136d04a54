#!/usr/bin/env bash
# The monitor's real poll tick against its floor, under Wine, on a desktop of N
# hidden top-level windows (N = 0, 200, 400): CPU time of the program's process and
# of the Wine server per tick, from /proc, with Timer=10 and the client absent.
#   bash scripts/bench-wine.sh     (BENCH_ROUNDS rounds, default 3, of BENCH_SECONDS per
#                                   measurement, default 15)
# The floor (tests/bench/win32/TickFloor.cpp) makes only the calls the tick must
# make: the profile's FindWindowA, the viewer lookup by title for each trace line,
# EnumWindows with GetDlgItem per window, and one driver read; it shows a tray icon
# as the monitor does, so both run on a desktop with the shell's tray window and the
# icon's tooltip, which every title lookup walks. Ticks are counted as
# the simulated driver's logged reads. What runs besides the tick is measured apart
# and taken off: the monitor's own idle cost (its 250 ms icon animation and message
# loop, measured with a poll timer that never fires) and the Wine server's idle cost
# on that desktop (measured with neither program running). A benchmark, not a test:
# CI does not run it.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
SECONDS_PER_RUN="${BENCH_SECONDS:-15}"
ROUNDS="${BENCH_ROUNDS:-3}"
case "$SECONDS_PER_RUN:$ROUNDS" in
  *[!0-9:]* | :* | *: | 0:* | *:0)
    echo "bench: BENCH_SECONDS and BENCH_ROUNDS must be whole numbers above 0" >&2; exit 2 ;;
esac
WARMUP=3

B="$ROOT/build/win32"
W="$ROOT/build/bench"
export WINEPREFIX="${BENCH_PREFIX:-$W/wineprefix}"

source scripts/wine-env.sh
CTL_OUT="$W/ctl.out"
echo "== building the monitor, the simulated driver, the floor and QRTLCtl"
win32_build QRTLIRMoni qrd210de TickFloor QRTLCtl
HZ=$(getconf CLK_TCK)

rm -rf "$W/monitor" "$W/floor" "$W/flock"
mkdir -p "$W/monitor/irqueue" "$W/floor/irqueue" "$W/flock"
cp "$B/app/$QRTL_MONITOR_EXE" "$B/sim/simdriver/$QRTL_DRIVER_NT" "$W/monitor/"
cp "$B/tests/bench/win32/TickFloor.exe" "$B/sim/simdriver/$QRTL_DRIVER_NT" "$W/floor/"
cp "$B/tests/bench/win32/TickFloor.exe" "$W/flock/"
profile() {  # profile TIMER
  printf '[Main]\r\nShowMainWindow=0\r\nTimer=%s\r\nAutoRun=0\r\nShutDown=0\r\n[Client]\r\nDefault=0\r\n0_Item=ABSENTTV\r\n0_Caption=Absent TV\r\n0_ClassName=AbsentTVClass\r\n0_Child0=1001\r\n0_Child1=1002\r\n0_Child2=1003\r\n0_Control=0\r\n[KeyMap_Controler]\r\nVOL+=20\r\n[KeyMap_ABSENTTV]\r\nVOL+=#8001\r\n' "$1" \
    >"$W/monitor/$QRTL_PROFILE_NAME"
}

FLOCK=""
cleanup() {
  set +e
  close_monitor
  [ -n "$FLOCK" ] && kill "$FLOCK" 2>/dev/null
  wine_down
}
trap cleanup EXIT
wine_up
SERVER=$(wine_pid wineserver32)
[ -n "$SERVER" ] || SERVER=$(wine_pid wineserver)
[ -n "$SERVER" ] || { echo "bench: the Wine server was not found" >&2; exit 1; }

cpu() { sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }  # utime + stime
reads() {  # grep -c prints 0 and fails when nothing matches; no log at all is 0 too
  local n
  n=$(grep -c 'QRDiI2CReadByte' "$1/simdriver.log" 2>/dev/null) || true
  echo "${n:-0}"
}

# CPU jiffies of the running program PID and of the server over one measurement,
# and the simulated driver's reads logged in DIR meanwhile: "ticks process server".
measure() {
  local pid=$1 dir=$2 p0 s0 r0 p1 s1 r1
  sleep "$WARMUP"
  p0=$(cpu "$pid"); s0=$(cpu "$SERVER"); r0=$(reads "$dir")
  sleep "$SECONDS_PER_RUN"
  p1=$(cpu "$pid"); s1=$(cpu "$SERVER"); r1=$(reads "$dir")
  echo "$((r1 - r0)) $((p1 - p0)) $((s1 - s0))"
}

# The server alone over one measurement, in jiffies.
measure_server() {
  local s0 s1
  sleep "$WARMUP"
  s0=$(cpu "$SERVER")
  sleep "$SECONDS_PER_RUN"
  s1=$(cpu "$SERVER")
  echo "$((s1 - s0))"
}

# Starts the monitor with the poll TIMER, measures it, closes it: "ticks process server".
run_monitor() {
  local out
  profile "$1"
  rm -f "$W/monitor/simdriver.log"
  (cd "$W/monitor" && wine "$QRTL_MONITOR_EXE" >"$W/monitor/out.txt" 2>&1 &)
  ctl wait "$MAIN_TITLE" 30
  out=$(measure "$(wine_pid "$QRTL_MONITOR_EXE")" "$W/monitor")
  close_monitor 10
  echo "$out"
}

# One line of figures from the jiffies of ROUNDS measurements: the monitor's ticks,
# process and server (MT MP MS), its idle process and server (MIP MIS), the floor's
# (FT FP FS) and the server's idle (SI, one measurement's worth). With "ratio" as
# the first argument only tick/floor is printed.
figures() {
  awk -v what="$1" -v n="$2" -v rounds="$3" -v mt="$4" -v mp="$5" -v ms="$6" -v mip="$7" -v mis="$8" \
      -v ft="$9" -v fp="${10}" -v fs="${11}" -v si="${12}" -v hz="$HZ" -v secs="$SECONDS_PER_RUN" 'BEGIN {
    if (mt == 0) mt = 1; if (ft == 0) ft = 1
    us = 1e6 / hz
    monp = (mp - mip) * us / mt; mons = (ms - mis) * us / mt
    flp = fp * us / ft; fls = (fs - si * rounds) * us / ft
    if (what == "ratio") { printf "%.2f", (monp + mons) / (flp + fls); exit }
    printf "%5d | %7d %9.1f %9.1f %9.1f %10.0f | %7d %9.1f %9.1f %9.1f | %9.2fx |",
           n, mt, monp, mons, monp + mons, (mip + mis - si * rounds) * us / (secs * rounds),
           ft, flp, fls, flp + fls, (monp + mons) / (flp + fls) }'
}

echo "== tick against floor: Timer=10, client absent, $ROUNDS rounds of ${SECONDS_PER_RUN} s per measurement" \
     "(CPU time from /proc, idle costs taken off)"
printf '%5s | %7s %9s %9s %9s %10s | %7s %9s %9s %9s | %10s | %s\n' N ticks "mon us" "srv us" "total us" \
       "idle us/s" ticks "floor us" "srv us" "total us" "tick/floor" "each round"
# The prefix's services and the shell's tray window start with the first programs: a
# short floor run before the first measurement keeps their start-up out of it.
(cd "$W/floor" && wine TickFloor.exe floor 5 ticks.txt >"$W/floor/out.txt" 2>&1)
for N in 0 200 400; do
  # exec: no shell is left to report the flock's end when it is stopped
  (cd "$W/flock" && exec wine TickFloor.exe flock "$N" 3600 >"$W/flock/out.txt" 2>&1) &
  FLOCK=$(wine_pid TickFloor.exe)
  if [ "$N" -gt 0 ]; then ctl wait "Bench window $((N - 1))" 30; fi

  si=$(measure_server)

  # The floor and the monitor take turns, so a machine that slows down or speeds up
  # during the run weighs on both alike.
  sum=(0 0 0 0 0 0 0 0)  # mt mp ms mip mis ft fp fs
  each=""
  for _ in $(seq 1 "$ROUNDS"); do
    rm -f "$W/floor/simdriver.log"
    (cd "$W/floor" && wine TickFloor.exe floor $((WARMUP + SECONDS_PER_RUN + 2)) ticks.txt >"$W/floor/out.txt" 2>&1 &)
    sleep 1
    FLOOR=""
    for p in $(pgrep -x TickFloor.exe); do [ "$p" != "$FLOCK" ] && FLOOR=$p; done
    read -r ft fp fs < <(measure "$FLOOR" "$W/floor")
    while kill -0 "$FLOOR" 2>/dev/null; do sleep 0.2; done

    read -r _ mip mis < <(run_monitor 2147483647)
    read -r mt mp ms < <(run_monitor 10)

    each+=" $(figures ratio "$N" 1 "$mt" "$mp" "$ms" "$mip" "$mis" "$ft" "$fp" "$fs" "$si")x"
    round=("$mt" "$mp" "$ms" "$mip" "$mis" "$ft" "$fp" "$fs")
    for i in "${!sum[@]}"; do sum[i]=$((sum[i] + round[i])); done
  done

  kill "$FLOCK" 2>/dev/null || true
  while kill -0 "$FLOCK" 2>/dev/null; do sleep 0.2; done
  FLOCK=""
  echo "$(figures line "$N" "$ROUNDS" "${sum[@]}" "$si")$each"
done
