#!/usr/bin/env bash
# Whole-process figures for docs/performance.md, on the built demo game:
# start-up to the first drawn frame, resident memory after start-up, and the
# CPU used while a finished message waits (SDL's dummy video driver with the
# real clock, and a real window under Xvfb).
#   scripts/measure.sh [BUILD_DIR]     (default build; needs BUILD/game)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(cd "${1:-build}" && pwd)
BIN=$BUILD/vantorel
TICK=$(getconf CLK_TCK)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A copy of the game; the message window's two menu sounds are added when
# the build has none, or their failure boxes would hold up the first frame.
GAME=$work/game
cp -r "$BUILD/game" "$GAME"
for se in Push11.wav Kachi04.wav; do
  [ -e "$GAME/GameData/Music/SE/$se" ] || python3 -c '
import struct, sys, wave
w = wave.open(sys.argv[1], "wb"); w.setnchannels(1); w.setsampwidth(2); w.setframerate(22050)
w.writeframes(b"".join(struct.pack("<h", int(3000 * ((i // 25) % 2 * 2 - 1))) for i in range(2205))); w.close()
' "$GAME/GameData/Music/SE/$se"
done
RUNS=${RUNS:-7}

# Milliseconds from exec to the first presented frame, median of RUNS.
first_frame() {
  local all=()
  for _ in $(seq "$RUNS"); do
    local t0 out ns
    t0=$(date +%s%N)
    # SIGKILL: a polite signal would open the quit confirmation.
    VANTOREL_FIRST_FRAME_STAMP=1 "$BIN" --game-dir "$GAME" >/dev/null 2>"$work/err" &
    local pid=$!
    sleep 1.5
    kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
    ns=$(sed -n 's/^first-frame-realtime-ns //p' "$work/err" | head -1)
    all+=($(( (ns - t0) / 1000000 )))
  done
  printf '%s\n' "${all[@]}" | sort -n | sed -n "$(( (RUNS + 1) / 2 ))p"
}

# Starts the game, lets it settle, then prints "RSS_KiB CPU_percent
# main_thread_CPU_percent" over a still screen of SECONDS. With "message"
# (needs xdotool, under Xvfb) it first holds the decide key to start the
# story and waits for its first message to be typed out, so the screen is a
# finished message with its animated wait cursor.
still_screen() {
  local seconds=$1 what=${2:-title} pid t1 t2 m1 m2
  "$BIN" --game-dir "$GAME" >/dev/null 2>&1 &
  pid=$!
  sleep 4  # start-up, soundfont, the title faded in
  if [ "$what" = message ]; then
    local win
    win=$(xdotool search --sync --name Vantorel | head -1)
    xdotool windowfocus --sync "$win"
    xdotool keydown Return; sleep 0.2; xdotool keyup Return
    sleep 6  # the scene fades in and its first message is typed out
  fi
  local rss
  rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
  t1=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  m1=$(awk '{print $14 + $15}' "/proc/$pid/task/$pid/stat")
  sleep "$seconds"
  t2=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  m2=$(awk '{print $14 + $15}' "/proc/$pid/task/$pid/stat")
  kill -9 "$pid"; wait "$pid" 2>/dev/null || true
  echo "$rss $(awk -v d=$((t2 - t1)) -v s="$seconds" -v k="$TICK" 'BEGIN {printf "%.2f", 100 * d / k / s}')" \
    "$(awk -v d=$((m2 - m1)) -v s="$seconds" -v k="$TICK" 'BEGIN {printf "%.2f", 100 * d / k / s}')"
}

echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores, $(awk '/MemTotal/ {printf "%.1f GiB", $2/1048576}' /proc/meminfo)"
echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "renderer choice: VANTOREL_RENDERER=${VANTOREL_RENDERER:-(automatic)}"

export SDL_AUDIODRIVER=dummy
export SDL_VIDEODRIVER=dummy
echo "dummy video, real clock: first frame $(first_frame) ms (median of $RUNS)"
read -r rss cpu main < <(still_screen 20)
echo "dummy video, real clock: resident after start-up $((rss / 1024)) MiB; title screen CPU ${cpu}% of a core (main thread ${main}%)"

unset SDL_VIDEODRIVER
# Xvfb picks a free display number and writes it to the pipe.
exec 3> >(cat >"$work/display")
Xvfb -displayfd 3 -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
exec 3>&-
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display")
echo "Xvfb on $DISPLAY"
echo "Xvfb window: first frame $(first_frame) ms (median of $RUNS)"
read -r rss cpu main < <(still_screen 20)
echo "Xvfb window: resident after start-up $((rss / 1024)) MiB; title screen CPU ${cpu}% of a core (main thread ${main}%)"
if command -v xdotool >/dev/null; then
  read -r rss cpu main < <(still_screen 20 message)
  echo "Xvfb window: finished message waiting, CPU ${cpu}% of a core (main thread ${main}%)"
fi
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
