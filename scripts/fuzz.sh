#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz) and runs each over its corpus.
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]   run each target SECONDS (default 30),
#                                                FUZZ_JOBS targets at a time (default 1)
#   bash scripts/fuzz.sh merge [TARGET...]       minimise tests/fuzz/corpus/<target>
#   bash scripts/fuzz.sh build [TARGET...]       only build them (scripts/test.sh
#                                                builds them before it runs them)
# Targets: profile, tick, resource (the menu and accelerator reader), lines (the
# planned client lines and their one check), threeway (the three-way merge of a
# writer's changes). New inputs go to a scratch folder, never into the corpus;
# a crash leaves its input in build/fuzz/artifacts/ and fails the run.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"

mode=run
seconds=30
if [ "${1:-}" = merge ] || [ "${1:-}" = build ]; then mode=$1; shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then seconds=$1; shift; fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(profile tick resource lines threeway)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}" >/dev/null
[ "$mode" = build ] && exit 0

export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=0}"
mkdir -p build/fuzz/artifacts
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# One target for SECONDS over its corpus; its report line, or its log's end and a
# failure.
run_one() {
  local t=$1 exe=build/fuzz/tests/fuzz/fuzz_$1 corpus=tests/fuzz/corpus/$1
  local log="$scratch/$t.log" runs
  mkdir -p "$scratch/$t"
  if ! "$exe" -max_total_time="$seconds" -print_final_stats=1 -max_len=4096 \
       -artifact_prefix=build/fuzz/artifacts/$t- "$scratch/$t" "$corpus" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz $t: FAILED (input saved under build/fuzz/artifacts/)"
    return 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz $t: $runs executions in $seconds s, no crash"
}

if [ "$mode" = merge ]; then
  for t in "${targets[@]}"; do
    exe=build/fuzz/tests/fuzz/fuzz_$t
    corpus=tests/fuzz/corpus/$t
    mkdir -p "$scratch/$t"
    "$exe" -merge=1 "$scratch/$t" "$corpus" 2>"$scratch/$t.log" || { tail -n 20 "$scratch/$t.log"; exit 1; }
    rm -f "$corpus"/*
    cp "$scratch/$t"/* "$corpus"/
    echo "fuzz $t: corpus minimised to $(ls "$corpus" | wc -l) inputs"
  done
  exit 0
fi

# Each target runs on one processor: with FUZZ_JOBS=2 two of them share the time.
jobs=${FUZZ_JOBS:-1}
failed=0
pids=()
for t in "${targets[@]}"; do
  run_one "$t" >"$scratch/$t.out" 2>&1 &
  pids+=("$!:$t")
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]%%:*}" || failed=1
    cat "$scratch/${pids[0]#*:}.out"
    pids=("${pids[@]:1}")
  fi
done
for p in "${pids[@]}"; do
  wait "${p%%:*}" || failed=1
  cat "$scratch/${p#*:}.out"
done
exit $failed
