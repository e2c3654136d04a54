#!/usr/bin/env bash
# Runs one Windows program under Wine with the project's 32-bit prefix (CTest's
# emulator for the win32 preset). WINEPREFIX and DISPLAY come from the caller
# (scripts/test.sh, wine_up); the defaults serve a manual run.
QRTL_WINE_ENV_ONLY=1 source "$(dirname "$0")/../scripts/wine-env.sh"
export DISPLAY="${DISPLAY:-:99}"
exec wine "$@"
