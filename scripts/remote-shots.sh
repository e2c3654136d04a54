#!/usr/bin/env bash
# Takes the README's pictures of the remote set-up window from a real run under
# Wine: QRTLRemote.exe with the simulated card driver and the stand-in client,
# driven by the end-to-end test RemoteShots, which says when and where to look;
# one of them at 144 dots per inch.
#   scripts/remote-shots.sh        (builds what it needs; pictures go to docs/screenshots/)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
# A prefix of its own: Wine keeps the larger screen below in its prefix, where the
# suite's tests, on a 1024 x 768 screen, would find windows placed off their screen.
export WINEPREFIX="$ROOT/build/win32/wineprefix-shots"
source scripts/wine-env.sh
SHOTS="$ROOT/docs/screenshots"
SYNC="$(mktemp -d)"
TESTS="$ROOT/build/win32/tests/tools/remote/remote_e2e_tests.exe"

win32_build remote_e2e_tests
mkdir -p "$SHOTS"
trap 'wine_down; rm -rf "$SYNC"' EXIT
# Room for the window at 144 dots per inch too (the other pictures keep their
# places in the top left 1024 x 768).
XVFB_SCREEN=1600x1200x24 wine_up 1

QRTL_SHOTS="$(winpath "$SYNC")" wine "$TESTS" --gtest_filter='RemoteShots.*' >"$SYNC/run.log" 2>&1 &
RUN=$!
while kill -0 "$RUN" 2>/dev/null; do
  for ready in "$SYNC"/*.ready; do
    [ -e "$ready" ] || continue
    name="$(basename "$ready" .ready)"
    read -r x y w h <"$ready"
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$SHOTS/$name.png"
    echo "screenshot docs/screenshots/$name.png (${w}x${h})"
    rm -f "$ready"
    touch "$SYNC/$name.done"
  done
  sleep 0.2
done
wait "$RUN" || { grep -B2 -A12 "Failure" "$SYNC/run.log"; exit 1; }
grep -E "^\[ +(OK|FAILED|SKIPPED) +\]" "$SYNC/run.log" || true
