#!/usr/bin/env bash
# The sound mix as a player hears it, for docs/sound.md: the built demo game
# runs in a real window (under Xvfb) with SDL's disk audio driver, which
# writes the engine's whole output to a file, and scripts/mixstats.py reads
# the levels off it. Everything plays at the game's own default volumes.
#   scripts/measure-mix.sh [BUILD_DIR]      (default build; needs BUILD/game)
#   TITLE_SECONDS (default 75)  how long the title screen is recorded
#   VANTOREL_SOUNDFONT          as for the game (default: the first installed)
# Parts:
#   title    the demo's title screen, untouched: its music and the sparkle
#   alone    each of the demo's effects in turn, the music silent
#   over     the same over the title's music
#   at-once  every effect started in the same step, over the title's music
#   full     the park's music after its fade-in to full volume (FadeIn Volume)
# The last four run a copy of the game whose opening script is replaced by a
# measuring one (the game's own sounds and aliases); xdotool presses the
# decide key to step it. Needs the packages xvfb and xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
SRC=$(pwd)
BUILD=$(cd "${1:-build}" && pwd)
TITLE_SECONDS=${TITLE_SECONDS:-75}
work=$(mktemp -d)
cleanup() {
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  [ -n "${KEEP:-}" ] && echo "kept $work" || rm -rf "$work"
}
trap cleanup EXIT

# The disk driver writes the device's own format: the engine opens 32-bit
# float stereo at 44.1 kHz.
FORMAT=f32
export SDL_AUDIODRIVER=disk
exec 3> >(cat >"$work/display")
Xvfb -displayfd 3 -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
exec 3>&-
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display")

# Runs the game in GAME_DIR for SECONDS, pressing the decide key every
# PRESS_EVERY seconds (0: never), recording to FILE.
record() {
  local game=$1 seconds=$2 press_every=$3 file=$4 pid win
  SDL_DISKAUDIOFILE=$file "$BUILD/vantorel" --game-dir "$game" >"$file.log" 2>&1 &
  pid=$!
  if [ "$press_every" != 0 ]; then
    sleep 3  # start-up and the soundfont; the window is searched for after it settles
    win=$(xdotool search --sync --name Vantorel | tail -1)
    local t=3
    while [ "$t" -lt "$seconds" ]; do
      # Held for 0.2 s: a tap shorter than the decide grid's 0.06 s may go unseen.
      xdotool windowfocus --sync "$win" keydown Return
      sleep 0.2
      xdotool keyup Return
      sleep "$press_every"
      t=$((t + press_every))
    done
  else
    sleep "$seconds"
  fi
  # SIGKILL: a polite signal would open the quit confirmation.
  kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
}

# A copy of the demo whose opening script is the given words.
measuring_game() {
  local dir=$work/$1
  cp -r "$BUILD/game" "$dir"
  mkdir -p "$work/src-$1/オープニング"
  cat >"$work/src-$1/オープニング/オープニング1.txt"
  "$BUILD/vantorel-script" build "$work/src-$1" "$dir" >/dev/null
  echo "$dir"
}

effects='SELoad Door.wav 戸の音
SELoad Footsteps.wav 足音
SELoad Wind.wav 風の音
SELoad Meow.wav 鳴き声
SELoad SchoolBell.wav チャイム
SELoad Sparkle.wav きらめき'
names=決定キー音,方向キー音,戸の音,足音,風の音,鳴き声,チャイム,きらめき
# Each message takes longer to type than the 0.2 s the key is held, so that
# one press steps the script once.
wait_text="ナレーション： 次の音まで、このまま六秒ほど待ちます。"
one_by_one() {
  echo "$wait_text"
  echo "."
  for alias in ${names//,/ }; do
    echo "SEPlay $alias"
    echo "$wait_text"
    echo "."
  done
  echo "ナレーション： 終わり"
  echo "."
}

echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "soundfont: ${VANTOREL_SOUNDFONT:-(the first installed)}"

echo "== title: the demo's title screen for $TITLE_SECONDS s (music at -3000, the sparkle at the start)"
record "$BUILD/game" "$TITLE_SECONDS" 0 "$work/title.raw"
python3 "$SRC/scripts/mixstats.py" "$work/title.raw" $FORMAT --bursts title
echo "-- the music alone (from 2 s, after the sparkle)"
python3 "$SRC/scripts/mixstats.py" "$work/title.raw" $FORMAT --from 2

echo "== alone: each effect at the defaults (master +1000, path 0), no music"
game=$( (echo "$effects"; one_by_one) | measuring_game alone)
VANTOREL_SOUNDFONT=$work/none.sf2 record "$game" 56 6 "$work/alone.raw"
python3 "$SRC/scripts/mixstats.py" "$work/alone.raw" $FORMAT --bursts "$names"

echo "== over: the same over the title's music (-3000)"
game=$( (echo "$effects"; echo "MIDIPlay School"; one_by_one) | measuring_game over)
record "$game" 56 6 "$work/over.raw"
python3 "$SRC/scripts/mixstats.py" "$work/over.raw" $FORMAT

echo "== at-once: all eight effects started together, over the title's music"
game=$( (echo "$effects"; echo "MIDIPlay School"; echo "$wait_text"; echo "."
  for alias in ${names//,/ }; do echo "SEPlay $alias"; done
  echo "$wait_text"; echo "."; echo "ナレーション： 終わり"; echo ".") | measuring_game at-once)
record "$game" 9 6 "$work/at-once.raw"
python3 "$SRC/scripts/mixstats.py" "$work/at-once.raw" $FORMAT

echo "== full: the park's music (Evening) after FadeIn Volume, as the park scenes play it"
game=$( (echo "MIDIPlay Evening"; echo "FadeIn Volume"; echo "ナレーション： 公園"; echo ".") | measuring_game full)
record "$game" 40 0 "$work/full.raw"
python3 "$SRC/scripts/mixstats.py" "$work/full.raw" $FORMAT --from 4
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
