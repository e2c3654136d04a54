#!/usr/bin/env bash
# Makes the Windows packages from a fresh checkout: sets up what is missing, builds
# the Windows preset and runs CPack. The files land in build/win32/packages/:
#   QRTLIRMoni-<version>-win32.zip   portable: unpack anywhere writable, run QRTLIRMoni.exe
#   QRTLIRMoni-<version>-setup.exe   installer: per user, no administrator rights
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
