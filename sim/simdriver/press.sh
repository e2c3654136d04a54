#!/usr/bin/env bash
# Queues remote-control codes for the simulated card driver.
#   press.sh QUEUE_DIR CODE [CODE...]
# Each code (decimal 0-255) becomes one file in QUEUE_DIR with a name higher than
# any queued before it; the driver hands them out one per receiver read, lowest
# name first. A file is written under a ".tmp" name and renamed when complete, so
# the driver never reads half a file. By hand, `echo 12 > irqueue/0001` does the same.
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: $0 QUEUE_DIR CODE [CODE...]" >&2
  exit 2
fi
dir="$1"; shift
mkdir -p "$dir"
i=0
for code in "$@"; do
  case "$code" in
    ''|*[!0-9]*) echo "press: not a code: $code" >&2; exit 2 ;;
  esac
  if [ "$code" -gt 255 ]; then echo "press: code out of range: $code" >&2; exit 2; fi
  name=$(printf '%019d%03d' "$(date +%s%N)" "$i")
  printf '%s\n' "$code" > "$dir/$name.tmp"
  mv "$dir/$name.tmp" "$dir/$name"
  i=$((i + 1))
done
