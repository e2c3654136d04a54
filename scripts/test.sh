#!/usr/bin/env bash
# Sets up what is missing, builds both presets and runs every test suite:
# the native core suite (sanitizers on) and the Windows suite under Wine, whose
# tests that take the desktop run in four lanes at once (scripts/wine-env.sh).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh

jobs=$(nproc)
# A compiler cache where the machine has one: a run after an earlier one (another
# clone too) compiles only what changed.
if command -v ccache >/dev/null 2>&1; then
  export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
  export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
fi
stage() { echo "== $* (at $SECONDS s)"; }

stage "native: portable core"
cmake --preset linux >/dev/null
cmake --build --preset linux -j"$jobs"
# Configure once more: a glob that re-ran CMake during the build can leave the
# test-discovery include files half-written.
cmake --preset linux >/dev/null
ctest --preset linux -j"$jobs" --no-tests=error

if [ -x build/linux/tests/bench/dispatch_bench ]; then
  stage "native: dispatch benchmark"
  build/linux/tests/bench/dispatch_bench --benchmark_min_time=0.05 || true
fi

# The Windows stage waits on Wine much of its time: the prefix is made beside the
# builds, and the fuzz targets run beside the Windows suite at the lowest priority,
# on the processor time its waiting leaves (each its full time, one at a time).
source scripts/wine-env.sh
trap wine_down EXIT
wine_display
wine_prefix >build/wineprefix.log 2>&1 &
prefix_made=$!

stage "win32: QRTLIRMoni.exe, the packages and the fuzz targets"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"
cmake --preset win32 >/dev/null
# The portable zip and the installer, which the package tests install under Wine.
cmake --build --preset win32 --target package >build/win32/package.log 2>&1 ||
  { tail -30 build/win32/package.log; exit 1; }
bash scripts/fuzz.sh build
wait "$prefix_made" || { cat build/wineprefix.log; exit 1; }

wine_up
stage "win32: the Windows suite, $QRTL_WINE_LANES_UP desktop lanes, and the fuzz targets, 30 s each"
FUZZ_JOBS=1 nice -n 19 bash scripts/fuzz.sh 30 >build/fuzz.log 2>&1 &
fuzzing=$!
suite=0
ctest --preset win32 -j"$QRTL_WINE_LANES_UP" --no-tests=error --timeout 300 || suite=$?
fuzz=0
wait "$fuzzing" || fuzz=$?
cat build/fuzz.log
stage "done"
[ "$fuzz" -eq 0 ] && exit "$suite"
echo "fuzz targets: FAILED"
exit 1
