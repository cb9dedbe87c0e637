#!/usr/bin/env bash
# Counts the instructions the mixer spends per output frame in the mixing benchmark (32 sound and
# 16 music channels, 44100 Hz 16-bit stereo), with callgrind: a count that machine load does not
# disturb, unlike the benchmark's times. Prints the total and the functions that take the most.
# Usage: tools/mix-profile.sh [sound_bench program]   (a Release build's bench/sound/sound_bench)
set -euo pipefail
cd "$(dirname "$0")/.."
bench="${1:-build/rel/bench/sound/sound_bench}"
out=$(mktemp /tmp/ph_mixprof_XXXXXX)
trap 'rm -f "$out" "$out.log"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect='sndSpeaker::Mix*' \
  "$bench" --benchmark_filter=BM_Mix32Sounds16Songs --benchmark_min_time=0.001 >"$out.log" 2>&1
# One iteration mixes 33 buffers of 1324 frames; the benchmark prints its iteration count.
iterations=$(awk '/^BM_Mix32Sounds16Songs/ {print $6}' "$out.log")
total=$(callgrind_annotate "$out" | awk '/PROGRAM TOTALS/ {gsub(",", "", $1); print $1}')
frames=$((iterations * 33 * 1324))
echo "instructions: $total over $frames frames: $((total / frames)) per frame"
callgrind_annotate "$out" | sed -n '/file:function/,$p' | sed -n '3,10p'
