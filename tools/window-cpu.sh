#!/usr/bin/env bash
# Measures how much of one processor core the game takes in a real desktop window, with nothing
# pressed: its main menu and a brick-breaker game in play, and, in the same setup and the same
# run, the menu of LBreakout2 (a Debian brick-breaker) for comparison. The desktop is a virtual X
# server (Xvfb) with the Openbox window manager; each figure is the process's user and system
# time over SECONDS (25) of wall time, from /proc/PID/stat.
#
#   tools/window-cpu.sh [--seconds N] [--scale N] [--shots DIR] [--program FILE]
#
# As root it installs what it needs (xvfb, openbox, xdotool, lbreakout2) with apt-get; otherwise
# they must be there. The program is build/release/host/pallasterhorn unless --program names
# another (build it first: cmake --build build/release). --shots keeps a picture of the desktop
# after each measurement (needs python3-pil). Records go to a temporary folder, never to yours.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=25
scale=2
shots=""
program=build/release/host/pallasterhorn
while (($#)); do
  case "$1" in
  --seconds) seconds="$2"; shift 2 ;;
  --scale) scale="$2"; shift 2 ;;
  --shots) shots="$2"; shift 2 ;;
  --program) program="$2"; shift 2 ;;
  *) echo "usage: $0 [--seconds N] [--scale N] [--shots DIR] [--program FILE]" >&2; exit 2 ;;
  esac
done
[ -x "$program" ] || { echo "no program at $program: build it first" >&2; exit 1; }
program=$(realpath "$program")

need=()
command -v Xvfb >/dev/null || need+=(xvfb)
command -v openbox >/dev/null || need+=(openbox)
command -v xdotool >/dev/null || need+=(xdotool)
[ -x /usr/games/lbreakout2 ] || need+=(lbreakout2)
if ((${#need[@]})); then
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing: ${need[*]}; run as root or install them" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

display=""
for n in $(seq 91 120); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display number" >&2; exit 1; }
export DISPLAY=$display
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

# CPU time of a process (all its threads) in clock ticks.
ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
# Percent of one core that process $1 used over $seconds.
measure() {
  local t0 t1 s0 s1
  t0=$(ticks "$1"); s0=$(date +%s.%N)
  sleep "$seconds"
  t1=$(ticks "$1"); s1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" -v s="$s0" -v e="$s1" -v hz="$(getconf CLK_TCK)" \
    'BEGIN { printf "%.1f", (b - a) * 100 / hz / (e - s) }'
}
python=python3
[ -x /usr/bin/python3 ] && python=/usr/bin/python3 # the system's, with python3-pil
shot() {
  [ -n "$shots" ] || return 0
  mkdir -p "$shots"
  "$python" tools/xshot.py "$shots/$1.png" || echo "(no picture: $1)" >&2
}
window() { # waits for a window named $1 and prints its id
  for _ in $(seq 100); do
    if id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [ -n "$id" ]; then
      echo "$id"; return 0
    fi
    sleep 0.1
  done
  echo "no window named $1" >&2; return 1
}
press() { xdotool key --clearmodifiers "$1"; sleep "$2"; }

# Our game: the language and sound questions (English, no sound), then the main menu.
PH_REGISTRY="$work/registry.sqlite" PH_SCALE="$scale" PH_INSTANCE_NAMESPACE="cpu-$$" \
  XDG_DATA_HOME="$work" "$program" >"$work/game.log" 2>&1 &
game=$!
pids+=($game)
win=$(window Pallasterhorn)
xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
sleep 2
press Return 1.5
press Return 4
menu=$(measure "$game")
shot main-menu
# The brick-breaker: its menu, a new game, the ball launched; then nothing is pressed (the ball is
# lost after a while and the next one waits on the bat; every step is painted either way).
press Return 3
press Return 3
press Return 1
play=$(measure "$game")
shot game-in-play
kill "$game"
wait "$game" 2>/dev/null || true

# The peer on the same desktop, in its own menu.
mkdir -p "$work/home"
HOME="$work/home" /usr/games/lbreakout2 </dev/null >"$work/lbreakout2.log" 2>&1 &
peer=$!
pids+=($peer)
lwin=$(window LBreakout2)
xdotool windowactivate --sync "$lwin" >/dev/null 2>&1 || true
sleep 3
peerMenu=$(measure "$peer")
shot lbreakout2-menu

printf '%-40s %s\n' "what (no input, ${seconds} s each)" "CPU % of one core"
printf '%-40s %s\n' "Pallasterhorn main menu (scale $scale)" "$menu"
printf '%-40s %s\n' "Pallasterhorn brick-breaker in play" "$play"
printf '%-40s %s\n' "LBreakout2 menu" "$peerMenu"
