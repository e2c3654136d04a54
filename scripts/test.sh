#!/usr/bin/env bash
# Sets up what is missing, builds both presets and runs every test suite:
# the native core suite (sanitizers on) and the Windows suite under Wine.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
bash scripts/setup.sh

jobs=$(nproc)

echo "== native: portable core"
cmake --preset linux >/dev/null
cmake --build --preset linux -j"$jobs"
# Configure once more: a glob that re-ran CMake during the build can leave the
# test-discovery include files half-written.
cmake --preset linux >/dev/null
ctest --preset linux -j"$jobs" --no-tests=error

if [ -x build/linux/tests/bench/dispatch_bench ]; then
  echo "== native: dispatch benchmark"
  build/linux/tests/bench/dispatch_bench --benchmark_min_time=0.05 || true
fi

echo "== native: fuzz targets, 30 s each"
bash scripts/fuzz.sh 30

echo "== win32: QRTLIRMoni.exe and the Windows suite under Wine"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"
cmake --preset win32 >/dev/null
# The portable zip and the installer, which the package tests install under Wine.
cmake --build --preset win32 --target package >build/win32/package.log 2>&1 ||
  { tail -30 build/win32/package.log; exit 1; }

source scripts/wine-env.sh
trap wine_down EXIT
wine_up
ctest --preset win32 -j2 --no-tests=error --timeout 300
