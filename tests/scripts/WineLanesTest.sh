#!/usr/bin/env bash
# The lane a Windows test runs in: what scripts/wine-env.sh makes of the lane CTest
# gives (CTEST_RESOURCE_GROUP_0_DESKTOP), for every lane of cmake/wine-lanes.json.
# Prints "wine lanes test passed", or "FAILED: ..." for each row that differs.
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
failed=0

# The prefix and display a program of this test would run with.
lane_of() {
  env -i PATH="$PATH" WINEPREFIX=/p/base DISPLAY=:1 \
      QRTL_WINE_LANE0_PREFIX=/p/base QRTL_WINE_LANE0_DISPLAY=:1 \
      QRTL_WINE_LANE1_PREFIX=/p/base-lane1 QRTL_WINE_LANE1_DISPLAY=:2 \
      QRTL_WINE_LANE3_PREFIX=/p/base-lane3 QRTL_WINE_LANE3_DISPLAY=:4 "$@" \
      bash -c 'QRTL_WINE_ENV_ONLY=1 source "$0/scripts/wine-env.sh" 2>/dev/null; echo "$WINEPREFIX $DISPLAY"' "$ROOT"
}

# given (the resource CTest allotted) | expected prefix and display
rows=(
  "|/p/base :1"
  "CTEST_RESOURCE_GROUP_0_DESKTOP=id:lane0,slots:1|/p/base :1"
  "CTEST_RESOURCE_GROUP_0_DESKTOP=id:lane1,slots:1|/p/base-lane1 :2"
  "CTEST_RESOURCE_GROUP_0_DESKTOP=id:lane3,slots:1|/p/base-lane3 :4"
  "CTEST_RESOURCE_GROUP_0_DESKTOP=id:lane7,slots:1|/p/base :1"
  "CTEST_RESOURCE_GROUP_0_DESKTOP=id:lane10,slots:1|/p/base :1"
)
for row in "${rows[@]}"; do
  given=${row%%|*} expected=${row#*|}
  got=$(lane_of ${given:+"$given"})
  [ "$got" = "$expected" ] || { echo "FAILED: '$given' runs in '$got', expected '$expected'"; failed=1; }
done

# Every lane the resource file offers is one that wine-env.sh understands and that
# wine_up brings up by default: ids lane0, lane1 ... in order, one slot each.
ids=$(grep -o '"id": *"[^"]*"' "$ROOT/cmake/wine-lanes.json" | sed 's/.*"\([^"]*\)"$/\1/' | tr '\n' ' ')
[ "$ids" = "lane0 lane1 lane2 lane3 " ] || { echo "FAILED: lanes of cmake/wine-lanes.json: '$ids'"; failed=1; }
default_lanes=$(sed -n 's/^  local lanes=\${1:-\([0-9]*\)}.*/\1/p' "$ROOT/scripts/wine-env.sh")
[ "$default_lanes" = 4 ] || { echo "FAILED: wine_up brings up '$default_lanes' lanes, the resource file 4"; failed=1; }

[ $failed -eq 0 ] && echo "wine lanes test passed"
exit $failed
