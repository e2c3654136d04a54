#!/usr/bin/env bash
# Makes the Windows packages from a fresh checkout: sets up what is missing, builds
# the Windows preset and runs CPack. The files land in build/win32/packages/:
#   QRTLIRMoni-<version>-win32.zip   portable: unpack anywhere writable, run QRTLIRMoni.exe
#   QRTLIRMoni-<version>-setup.exe   installer: per user, no administrator rights
# --screenshot also opens the installer under Wine and saves its options page as
# docs/screenshots/installer-options.png (nothing is installed).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"

bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)" --target package >build/win32/package.log 2>&1 ||
  { tail -30 build/win32/package.log; exit 1; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build/win32/CPackConfig.cmake)
for f in "build/win32/packages/QRTLIRMoni-$version-win32.zip" \
         "build/win32/packages/QRTLIRMoni-$version-setup.exe"; do
  [ -f "$f" ] || { echo "package.sh: $f was not made" >&2; exit 1; }
  printf '%s\t%s bytes\n' "$f" "$(stat -c %s "$f")"
done

[ "${1:-}" = "--screenshot" ] || exit 0
# A prefix of its own: the page shows what a first install offers.
export WINEPREFIX="$ROOT/build/win32/installer-prefix"
source scripts/wine-env.sh
trap wine_down EXIT
wine_up 1
CTL=build/win32/sim/qrtlctl/QRTLCtl.exe
[ -f "$CTL" ] || cmake --build --preset win32 --target QRTLCtl >>build/win32/package.log 2>&1
# Modern UI ends the caption with a blank subcaption.
title="$QRTL_PRODUCT $version Installer "
wine "build/win32/packages/QRTLIRMoni-$version-setup.exe" >build/win32/installer.out 2>&1 &
wine "$CTL" wait "$title" 30 >build/win32/ctl.out 2>&1
# Next: from the folder page to the options page.
wine "$CTL" click "$title" 1 >build/win32/ctl.out 2>&1
sleep 2
mkdir -p docs/screenshots
window=$(xwininfo -root -tree | sed -n "s/^ *\(0x[0-9a-f]*\) \"$QRTL_PRODUCT $version Installer.*/\1/p" | head -1)
import -window "$window" docs/screenshots/installer-options.png
echo "screenshot docs/screenshots/installer-options.png"
