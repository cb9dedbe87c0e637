#!/usr/bin/env bash
# Builds the sound, thread, media and SMS-watch tests with ThreadSanitizer and runs them: the
# feeder thread, the audio callback, the synchronisation objects, the waits on the fake clock and
# the messaging thread are where data races would hide.
# Usage: tools/tsan-sound.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build/tsan}"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPH_SANITIZE=OFF \
  -DPH_BUILD_BENCH=OFF -DPH_WERROR=ON -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_C_FLAGS=-fsanitize=thread \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread >/dev/null
cmake --build "$dir" --target sound_tests platform_tests profile_media_tests
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
"$dir/tests/backends/sound/sound_tests" --gtest_brief=1
"$dir/tests/platform/platform_tests" --gtest_brief=1 --gtest_filter='Threads*:WaveOut*:Mapi*:FakeClockWait*'
"$dir/tests/profile/profile_media_tests" --gtest_brief=1
