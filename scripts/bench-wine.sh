#!/usr/bin/env bash
# The monitor's real poll tick against its floor, under Wine, on a desktop of N
# hidden top-level windows (N = 0, 200, 400): CPU time of the program's process and
# of the Wine server per tick, from /proc, with Timer=10 and the client absent.
#   bash scripts/bench-wine.sh     (BENCH_ROUNDS rounds, default 5, of BENCH_SECONDS per
#                                   measurement, default 10; BENCH_N the window counts,
#                                   default "0 200 400"; BENCH_CPU the one CPU everything
#                                   runs on, default 0, "any" for no pinning)
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
#
# Stable figures: each round measures the server's idle cost, the floor, the idle
# monitor and the monitor back to back (the floor first in odd rounds, the monitor
# first in even ones), and its ratio uses its own idle costs only; the line shows the
# median of the rounds' ratios, their range, and each round. Every program is
# measured by its own process: a run starts only when the one before it has ended,
# and its pid is the one that was not there before (a monitor still ending after
# Close was once measured in place of the new one, and two floors once logged into
# one file). Before each measurement the server must have settled: after the flock
# is made, and after a program ends, it works on for a while, more with more
# windows. Each round's jiffies are kept in build/bench/rounds.txt.
# The swings of earlier runs came from the machine, not from the tick: at 400
# windows the same program's tick cost 15 ms of CPU in one run and 65 ms in the
# next, with the program and the Wine server on two cores, waking each other across
# them for every window the tick asks about. The script, the server and the programs
# therefore run on one CPU (taskset), where that cost is the same from run to run. Goal: at every N each round within 0.8-1.25x and the
# median at most 1.1x ("stable" in the last column).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
SECONDS_PER_RUN="${BENCH_SECONDS:-10}"
ROUNDS="${BENCH_ROUNDS:-5}"
COUNTS="${BENCH_N:-0 200 400}"
CPU="${BENCH_CPU:-0}"
if [ "$CPU" != any ]; then
  command -v taskset >/dev/null || { echo "bench: taskset is missing (or set BENCH_CPU=any)" >&2; exit 2; }
  # Inherited by everything started from here on: the server and every program.
  taskset -cp "$CPU" $$ >/dev/null
fi
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
wine_up 1
SERVER=$(wine_pid wineserver32)
[ -n "$SERVER" ] || SERVER=$(wine_pid wineserver)
[ -n "$SERVER" ] || { echo "bench: the Wine server was not found" >&2; exit 1; }

cpu() { sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }  # utime + stime
reads() {  # grep -c prints 0 and fails when nothing matches; no log at all is 0 too
  local n
  n=$(grep -c 'QRDiI2CReadByte' "$1/simdriver.log" 2>/dev/null) || true
  echo "${n:-0}"
}

# The pids of the running programs NAME of this prefix, one a line.
pids_of() {
  local p
  for p in $(pgrep -x "$1" || true); do
    tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$p"
  done
  return 0
}
# new_pid NAME OLD...: the pid of a program NAME that is none of OLD, waiting up to
# 30 s for it to start; fails when none does.
new_pid() {
  local name=$1 p; shift
  for _ in $(seq 1 300); do
    for p in $(pids_of "$name"); do
      [[ " $* " == *" $p "* ]] || { echo "$p"; return 0; }
    done
    sleep 0.1
  done
  echo "bench: $name did not start" >&2
  return 1
}
wait_gone() { while kill -0 "$1" 2>/dev/null; do sleep 0.2; done; }

# Waits (up to 60 s) until the server takes at most 2 jiffies in each of two seconds
# in a row: a new flock keeps it busy for a while.
settle() {
  local quiet=0 s0 s1
  for _ in $(seq 1 60); do
    s0=$(cpu "$SERVER"); sleep 1; s1=$(cpu "$SERVER")
    if [ $((s1 - s0)) -le 2 ]; then quiet=$((quiet + 1)); else quiet=0; fi
    [ $quiet -ge 2 ] && return 0
  done
  echo "bench: the server did not settle (last second: $((s1 - s0)) jiffies)" >&2
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
  settle
  sleep "$WARMUP"
  s0=$(cpu "$SERVER")
  sleep "$SECONDS_PER_RUN"
  s1=$(cpu "$SERVER")
  echo "$((s1 - s0))"
}

# Starts the monitor with the poll TIMER, measures it, closes it and waits until its
# process has ended: "ticks process server".
run_monitor() {
  local out pid
  profile "$1"
  rm -f "$W/monitor/simdriver.log"
  settle
  (cd "$W/monitor" && exec wine "$QRTL_MONITOR_EXE" >"$W/monitor/out.txt" 2>&1 &)
  pid=$(new_pid "$QRTL_MONITOR_EXE")
  ctl wait "$MAIN_TITLE" 30
  out=$(measure "$pid" "$W/monitor")
  close_monitor 10 || true
  wait_gone "$pid"
  echo "$out"
}

# Runs the floor for one measurement and waits until it has ended: "ticks process server".
run_floor() {
  local out pid
  rm -f "$W/floor/simdriver.log"
  settle
  (cd "$W/floor" && exec wine TickFloor.exe floor $((WARMUP + SECONDS_PER_RUN + 2)) ticks.txt >"$W/floor/out.txt" 2>&1 &)
  pid=$(new_pid TickFloor.exe "$FLOCK")
  out=$(measure "$pid" "$W/floor")
  wait_gone "$pid"
  echo "$out"
}

# Per-tick costs in microseconds of one round's jiffies: "monitor floor ratio".
# Arguments: MT MP MS MIP MIS FT FP FS SI (ticks, process, server; idle process and
# server of the monitor; the server's idle).
round_costs() {
  awk -v mt="$1" -v mp="$2" -v ms="$3" -v mip="$4" -v mis="$5" -v ft="$6" -v fp="$7" -v fs="$8" \
      -v si="$9" -v hz="$HZ" 'BEGIN {
    if (mt == 0) mt = 1; if (ft == 0) ft = 1
    us = 1e6 / hz
    mon = ((mp - mip) + (ms - mis)) * us / mt
    flo = (fp + (fs - si)) * us / ft
    if (flo <= 0) flo = us / ft  # never below one jiffy over the run
    printf "%.1f %.1f %.2f\n", mon, flo, mon / flo }'
}

# The median of the numbers given.
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "== tick against floor: Timer=10, client absent, $ROUNDS rounds of ${SECONDS_PER_RUN} s per measurement" \
     "(CPU time from /proc, idle costs of the same round taken off; medians over the rounds; CPU $CPU)"
printf '%5s | %7s %9s | %7s %9s | %10s %11s | %-6s | %s\n' N ticks "mon us" ticks "floor us" \
       "tick/floor" range stable "each round"
# The prefix's services and the shell's tray window start with the first programs: a
# short floor run before the first measurement keeps their start-up out of it.
(cd "$W/floor" && wine TickFloor.exe floor 5 ticks.txt >"$W/floor/out.txt" 2>&1)
echo "# N round  mt mp ms  mip mis  ft fp fs  si (ticks and jiffies)" >"$W/rounds.txt"
for N in $COUNTS; do
  # exec: no shell is left to report the flock's end when it is stopped
  (cd "$W/flock" && exec wine TickFloor.exe flock "$N" 3600 >"$W/flock/out.txt" 2>&1) &
  FLOCK=$(new_pid TickFloor.exe)
  if [ "$N" -gt 0 ]; then ctl wait "Bench window $((N - 1))" 30; fi
  settle

  ratios=() mons=() floors=() mts=() fts=() each=""
  for round in $(seq 1 "$ROUNDS"); do
    si=$(measure_server)
    if [ $((round % 2)) -eq 1 ]; then
      read -r ft fp fs < <(run_floor)
      read -r _ mip mis < <(run_monitor 2147483647)
      read -r mt mp ms < <(run_monitor 10)
    else
      read -r _ mip mis < <(run_monitor 2147483647)
      read -r mt mp ms < <(run_monitor 10)
      read -r ft fp fs < <(run_floor)
    fi
    echo "$N $round  $mt $mp $ms  $mip $mis  $ft $fp $fs  $si" >>"$W/rounds.txt"
    read -r mon flo ratio < <(round_costs "$mt" "$mp" "$ms" "$mip" "$mis" "$ft" "$fp" "$fs" "$si")
    ratios+=("$ratio") mons+=("$mon") floors+=("$flo") mts+=("$mt") fts+=("$ft")
    each+=" ${ratio}x"
  done

  kill "$FLOCK" 2>/dev/null || true
  wait_gone "$FLOCK"
  FLOCK=""
  med=$(median "${ratios[@]}")
  lo=$(printf '%s\n' "${ratios[@]}" | sort -g | head -1)
  hi=$(printf '%s\n' "${ratios[@]}" | sort -g | tail -1)
  stable=$(awk -v m="$med" -v lo="$lo" -v hi="$hi" 'BEGIN { print (lo >= 0.8 && hi <= 1.25 && m <= 1.1) ? "yes" : "no" }')
  printf '%5d | %7s %9s | %7s %9s | %9.2fx %5.2f-%.2fx | %-6s |%s\n' "$N" "$(median "${mts[@]}")" \
         "$(median "${mons[@]}")" "$(median "${fts[@]}")" "$(median "${floors[@]}")" "$med" "$lo" "$hi" \
         "$stable" "$each"
done
