#!/usr/bin/env bash
# Installs what the build and the test suites need on a Debian 12 machine.
# Skips everything that is already present, so a warm machine costs a second.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  NEED_UPDATE=1
fi

for p in cmake g++ make libgtest-dev libgmock-dev googletest libbenchmark-dev \
         g++-mingw-w64-i686-win32 wine wine32:i386 xvfb xauth imagemagick \
         x11-utils xdotool nsis clang-14 libclang-rt-14-dev; do
  have_pkg "$p" || need+=("$p")
done

if [ ${#need[@]} -gt 0 ] || [ -n "${NEED_UPDATE:-}" ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  if [ ${#need[@]} -gt 0 ]; then
    echo "setup: installing ${need[*]}"
    $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
  fi
fi
