#!/usr/bin/env bash
# Runs one Windows program under Wine with the project's 32-bit prefix.
# WINEPREFIX and DISPLAY come from scripts/test.sh; these defaults serve a manual run.
export WINEARCH=win32
export WINEPREFIX="${WINEPREFIX:-$(cd "$(dirname "$0")/.." && pwd)/build/win32/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all,err+module}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export DISPLAY="${DISPLAY:-:99}"
exec wine "$@"
