#!/usr/bin/env bash
# Runs the named libFuzzer targets (already built by tools/fuzz-smoke.sh into build/fuzz) for a
# longer time each, a few at a time, and prints each one's executions per second.
# Usage: tools/fuzz-long.sh seconds parallel target...   (target: the name without "fuzz_")
set -uo pipefail
cd "$(dirname "$0")/.."
seconds="$1"
parallel="$2"
shift 2
run() {
  local name="$1" bin
  bin=$(ls build/fuzz/fuzz/*/"fuzz_$name")
  mkdir -p "build/fuzz/corpus/fuzz_$name"
  local args=("build/fuzz/corpus/fuzz_$name")
  [ -d "fuzz/seeds/$name" ] && args+=("fuzz/seeds/$name")
  "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="build/fuzz/$name-" "${args[@]}" >"build/fuzz/long-$name.log" 2>&1
  local rc=$?
  local runs per
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "build/fuzz/long-$name.log" | grep -o '[0-9]*$')
  per=$(grep -o 'exec/s: [0-9]*' "build/fuzz/long-$name.log" | tail -1)
  echo "$name: exit $rc, ${runs:-?} runs, $per"
}
for name in "$@"; do
  while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do wait -n; done
  run "$name" &
done
wait
