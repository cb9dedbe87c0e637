#!/usr/bin/env bash
# Builds the game and its data archive, then starts it. Arguments go to the game.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPH_BUILD_TESTS=OFF -DPH_BUILD_BENCH=OFF >/dev/null
cmake --build build/release
exec build/release/host/pallasterhorn "$@"
