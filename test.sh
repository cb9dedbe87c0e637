#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer and runs them all.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
# Only the files this change touches are checked, so an unchanged tree passes.
tools/format-check.sh
# The player's records stay untouched: from here on every build, test program, fuzz target and
# tool runs with HOME and XDG_DATA_HOME in a scratch folder, and the run fails when anything named
# after the program appears there or the player's own records folder changes.
source tools/scratch-home.sh
# A compiler cache makes the five builds below cheap when the sources have not changed, in
# whichever folder the checkout lies (paths below it are hashed relative to it).
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
# Warnings are errors in CI's builds.
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPH_SANITIZE=ON -DPH_BUILD_BENCH=ON \
  -DPH_WERROR=ON >/dev/null
cmake --build build/test
# The benchmarks without the tests: with the build above (both), the ThreadSanitizer build (tests
# only) and the fuzz build (neither), every combination of the two options is configured here.
cmake -S . -B build/bench-only -G Ninja -DCMAKE_BUILD_TYPE=Release -DPH_BUILD_TESTS=OFF \
  -DPH_WERROR=ON >/dev/null
cmake --build build/bench-only
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1
# A short libFuzzer run of every parser of outside data (clang), before the unit tests.
tools/fuzz-smoke.sh "${PH_FUZZ_SECONDS:-10}"
# The sound and thread tests again under ThreadSanitizer.
tools/tsan-sound.sh build/tsan
# Every test program once whole in a shuffled order: order dependence between tests fails here.
tools/run-shuffled.sh build/test
cd build/test
ctest --output-on-failure -j"$(nproc)" "$@"
