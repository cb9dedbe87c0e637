#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one briefly from its seed corpus.
# Usage: tools/fuzz-smoke.sh [seconds per target]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-10}"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPH_FUZZ=ON -DPH_SANITIZE=ON -DPH_BUILD_TESTS=OFF -DPH_BUILD_BENCH=OFF -DPH_WERROR=ON >/dev/null
cmake --build build/fuzz --target fuzz_all
status=0
for f in build/fuzz/fuzz/*/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus="build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds="fuzz/seeds/${name#fuzz_}"
  args=("$corpus")
  [ -d "$seeds" ] && args+=("$seeds")
  if "$f" -max_total_time="$seconds" -rss_limit_mb=2048 "${args[@]}" >"build/fuzz/$name.log" 2>&1; then
    echo "fuzz: $name ran ${seconds}s without a finding"
  else
    echo "fuzz: $name FAILED (see build/fuzz/$name.log)"; tail -30 "build/fuzz/$name.log"; status=1
  fi
done
exit $status
