#!/usr/bin/env bash
# Measures how much of one processor core the game takes in a real desktop window, with nothing
# pressed: its main menu and a brick-breaker game in play, and, in the same setup and the same
# run, the menu of LBreakout2 (a Debian brick-breaker) for comparison. The desktop is a virtual X
# server (Xvfb) with the Openbox window manager; each figure is the process's user and system
# time over SECONDS (25) of wall time, from /proc/PID/stat, and how often its main thread went to
# sleep and woke again (voluntary context switches a second, from /proc/PID/status).
#
#   tools/window-cpu.sh [--seconds N] [--scale N] [--shots DIR] [--program FILE]
#
# As root it installs what it needs (xvfb, openbox, xdotool, x11-utils, lbreakout2) with apt-get;
# otherwise
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
command -v xprop >/dev/null || need+=(x11-utils)
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
# Ends a process we started: asked first, then killed if it does not go within 5 s.
stop() {
  kill "$1" 2>/dev/null || return 0
  for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop "${pids[i]}"; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "$*" >&2; exit 1; }
# Every wait is bounded: until "$@" succeeds, at most $1 tenths of a second; a status of 2
# gives up at once.
waitFor() {
  local tenths=$1 status; shift
  for _ in $(seq "$tenths"); do
    status=0; "$@" >/dev/null 2>&1 || status=$?
    [ "$status" -eq 0 ] && return 0
    [ "$status" -eq 2 ] && return 1
    sleep 0.1
  done
  return 1
}

# The first display from :91 up whose lock our own Xvfb holds (another run may start one on the
# same number at the same time), once it answers.
# Succeeds once Xvfb $2 holds the lock of display $1; fails at once when it has ended.
ours() {
  kill -0 "$2" 2>/dev/null || return 2
  [ "$(tr -d ' ' <"/tmp/.X$1-lock" 2>/dev/null)" = "$2" ]
}
display=""
for n in $(seq 91 120); do
  [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ] || continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  if waitFor 300 ours "$n" "$xvfb" && DISPLAY=":$n" waitFor 300 xprop -root; then
    display=":$n"; pids+=($xvfb); break
  fi
  stop "$xvfb"
done
[ -n "$display" ] || fail "no X display could be started: $(cat "$work/xvfb.log")"
export DISPLAY=$display
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
# A program started before the window manager manages the root window may wait for ever for a
# window that is never mapped: wait for the manager's check window.
wmReady() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
waitFor 300 wmReady || fail "the window manager did not start: $(cat "$work/openbox.log")"

# CPU time of a process (all its threads) in clock ticks.
ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
# Voluntary context switches of process $1's main thread so far.
switches() { awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$1/status"; }
# Percent of one core that process $1 used over $seconds, and its main thread's wake-ups a second.
measure() {
  local t0 t1 s0 s1 w0 w1
  t0=$(ticks "$1"); w0=$(switches "$1"); s0=$(date +%s.%N)
  sleep "$seconds"
  t1=$(ticks "$1"); w1=$(switches "$1"); s1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" -v s="$s0" -v e="$s1" -v hz="$(getconf CLK_TCK)" -v w0="$w0" \
    -v w1="$w1" 'BEGIN { printf "%.1f %.0f", (b - a) * 100 / hz / (e - s), (w1 - w0) / (e - s) }'
}
python=python3
[ -x /usr/bin/python3 ] && python=/usr/bin/python3 # the system's, with python3-pil
shot() {
  [ -n "$shots" ] || return 0
  mkdir -p "$shots"
  "$python" tools/xshot.py "$shots/$1.png" || echo "(no picture: $1)" >&2
}
window() { # waits for a window named $1 (at most 30 s) and prints its id
  for _ in $(seq 300); do
    if id=$(timeout 5 xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) &&
      [ -n "$id" ]; then
      echo "$id"; return 0
    fi
    sleep 0.1
  done
  echo "no window named $1" >&2; return 1
}
focus() { timeout 10 xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true; }
press() { timeout 10 xdotool key --clearmodifiers "$1"; sleep "$2"; }

# Our game: the language and sound questions (English, no sound), then the main menu.
PH_REGISTRY="$work/registry.sqlite" PH_SCALE="$scale" PH_INSTANCE_NAMESPACE="cpu-$$" \
  XDG_DATA_HOME="$work" "$program" >"$work/game.log" 2>&1 &
game=$!
pids+=($game)
win=$(window Pallasterhorn) || fail "$(cat "$work/game.log")"
focus "$win"
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
stop "$game"

# The peer on the same desktop, in its own menu.
mkdir -p "$work/home"
HOME="$work/home" /usr/games/lbreakout2 </dev/null >"$work/lbreakout2.log" 2>&1 &
peer=$!
pids+=($peer)
lwin=$(window LBreakout2) || fail "$(cat "$work/lbreakout2.log")"
focus "$lwin"
sleep 3
peerMenu=$(measure "$peer")
shot lbreakout2-menu

read -r menuCpu menuWakes <<<"$menu"
read -r playCpu playWakes <<<"$play"
read -r peerCpu peerWakes <<<"$peerMenu"
printf '%-40s %-18s %s\n' "what (no input, ${seconds} s each)" "CPU % of one core" \
  "wake-ups/s (main thread)"
printf '%-40s %-18s %s\n' "Pallasterhorn main menu (scale $scale)" "$menuCpu" "$menuWakes"
printf '%-40s %-18s %s\n' "Pallasterhorn brick-breaker in play" "$playCpu" "$playWakes"
printf '%-40s %-18s %s\n' "LBreakout2 menu" "$peerCpu" "$peerWakes"
awk -v a="$menuCpu" -v b="$peerCpu" \
  'BEGIN { if (b > 0) printf "main menu / LBreakout2 menu: %.2f\n", a / b }'
