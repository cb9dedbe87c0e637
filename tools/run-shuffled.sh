#!/usr/bin/env bash
# Runs every test program of a build folder once whole, its tests in a shuffled order, so that a
# test that depends on what another left behind fails here (ctest runs each test in a process of
# its own and would hide it). The seed is printed by each program; a failure can be repeated
# with --gtest_random_seed=N.
# Usage: tools/run-shuffled.sh [build folder] [seed]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build/test}"
seed="${2:-0}" # 0: a new seed every run
status=0
found=0
while IFS= read -r program; do
  found=$((found + 1))
  if ! "$program" --gtest_shuffle --gtest_random_seed="$seed" --gtest_brief=1 >"$program.shuffled.log" 2>&1; then
    echo "FAILED shuffled: $program (log: $program.shuffled.log)"
    grep -E '^Note: Randomizing|^\[  FAILED' "$program.shuffled.log" || true
    status=1
  fi
done < <(find "$dir/tests" -type f -executable -name '*_tests' | sort)
if [ "$found" -eq 0 ]; then
  echo "no test programs under $dir/tests" >&2
  exit 1
fi
echo "shuffled runs of $found test programs: $([ $status -eq 0 ] && echo passed || echo FAILED)"
exit $status
