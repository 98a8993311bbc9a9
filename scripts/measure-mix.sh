#!/usr/bin/env bash
# The sound mix as a player hears it, for docs/sound.md: the built demo game
# runs in a real window (under Xvfb) with SDL's disk audio driver, which
# writes the engine's whole output to a file, and scripts/mixstats.py reads
# the levels off it. Everything plays at the game's own default volumes.
#   scripts/measure-mix.sh [BUILD_DIR]      (default build; needs BUILD/game)
#   TITLE_SECONDS (default 75)  how long the title screen is recorded
#   VANTOREL_SOUNDFONT          as for the game (default: the first installed)
#   PARTS                       which of the parts below to run (default all but pieces)
#   MIX_FORMAT (default f32)    the recorded format: s16 for builds before the float mix
#   PIECES_DIR                  for the part pieces: a folder of MIDI files
#   PIECE_SECONDS (default 15)  how long each of them is recorded
# Parts:
#   title    the demo's title screen, untouched: its music and the sparkle
#   title-half  the same with the player's music volume at 50 %, against title
#   title-keys  the title menu's cursor and decide sounds over its music
#   alone    each of the demo's effects in turn, the music silent
#   alone-half  the same with the player's effect volume at 50 %, against alone
#   over     the same over the title's music (-3000), each effect against the music around it
#   at-once  every effect started in the same step, over the title's music
#   full     the park's music (Evening) after its fade-in to full volume (FadeIn Volume)
#   full-half  the same with the player's music volume at 50 %, against full
#   night    the second park scene's music (Night) after its fade-in
#   over-park  the effects over the park's music at full volume, against full
#   pieces   each MIDI file in PIECES_DIR at full volume, as the park plays its music
# Most run a copy of the game whose opening script is replaced by a
# measuring one (the game's own sounds and aliases); xdotool presses the
# decide key to step it. Needs the packages xvfb and xdotool.
# Not -e: a part that fails (a window not found on a loaded machine) says so
# and the others still run.
set -uo pipefail
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
FORMAT=${MIX_FORMAT:-f32}
export SDL_AUDIODRIVER=disk
exec 3> >(cat >"$work/display")
Xvfb -displayfd 3 -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
exec 3>&-
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display")

# Runs the game in GAME for SECONDS, recording to FILE, with the given key
# presses: pairs of seconds to wait and an X key name, from 3 s in (after
# start-up and the soundfont).
# With SETTINGS set, the player's settings are that file's.
record() {
  local game=$1 seconds=$2 file=$3 pid win t=0
  shift 3
  local settings=$work/settings-default
  [ -n "${SETTINGS:-}" ] && settings=$SETTINGS
  SDL_DISKAUDIOFILE=$file "$BUILD/vantorel" --game-dir "$game" --trace "$file.trace" --settings "$settings" \
    >"$file.log" 2>&1 &
  pid=$!
  if [ $# -gt 0 ]; then
    sleep 3
    t=3
    while [ $# -ge 2 ]; do
      sleep "$1"
      # Looked up anew each time: the first window found may be gone by then.
      win=
      for _ in 1 2 3; do
        win=$(timeout 20 xdotool search --sync --name Vantorel 2>/dev/null | tail -1) && [ -n "$win" ] && break
      done
      [ -n "$win" ] || { echo "no window: see $file.log" >&2; break; }
      # Held for 0.1 s: a tap shorter than the input grids (0.06 s, 0.1 s) may go unseen, and a
      # longer hold on a loaded machine (a frame of 0.1 s or more) may step the script twice.
      xdotool windowfocus --sync "$win" keydown "$2" 2>/dev/null || xdotool keydown "$2"
      sleep 0.1
      xdotool keyup "$2"
      t=$(awk -v a="$t" -v b="$1" 'BEGIN {print a + b + 0.1}')
      shift 2
    done
  fi
  sleep "$(awk -v a="$t" -v s="$seconds" 'BEGIN {print (s > a ? s - a : 0)}')"
  # SIGKILL: a polite signal would open the quit confirmation.
  kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
  # What the engine played, from its trace: a key press that went unseen shows here.
  echo "played: $(grep -o '"type":"\(se\|midi\)","[a-z]*":"[^"]*"' "$file.trace" | sed 's/.*:"//; s/"$//' | tr '\n' ' ')"
}
# N presses of KEY, GAP seconds apart, as arguments for record.
presses() {
  local n=$1 gap=$2 key=$3 i
  echo "0 $key"
  for ((i = 1; i < n; i++)); do echo "$gap $key"; done
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

half_music=$work/settings-music50
half_effects=$work/settings-effects50
printf '# vantorel settings 1\nmusic-volume = 50\n' >"$half_music"
printf '# vantorel settings 1\neffect-volume = 50\n' >"$half_effects"
stats() { python3 "$SRC/scripts/mixstats.py" "$@"; }

echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "soundfont: ${VANTOREL_SOUNDFONT:-(the first installed)}"

title() {
  echo "== title: the demo's title screen for $TITLE_SECONDS s (music at -3000, the sparkle 2 s in)"
  record "$BUILD/game" "$TITLE_SECONDS" "$work/title.raw"
  echo "-- the first 4 s: the music and the sparkle"
  stats "$work/title.raw" $FORMAT --to 4
  echo "-- from 4 s on: the music alone"
  stats "$work/title.raw" $FORMAT --from 4 --limiter
}

title-half() {
  echo "== title-half: the title's music (School at -3000) with the player's music volume at 50 % (-12 dB),"
  echo "   against the same at 100 % (both without the title's own effects, whose timing varies)"
  music_only title-music 40 "MIDIPlay School"
  SETTINGS=$half_music music_only title-music-half 40 "MIDIPlay School"
  stats "$work/title-music-half.raw" $FORMAT --compare "$work/title-music.raw"
}

title-keys() {
  echo "== title-keys: the title menu's cursor four times, then decide (the story starts)"
  record "$BUILD/game" 16 "$work/keys.raw" $(presses 4 1.3 Down) 1.3 Return
  stats "$work/keys.raw" $FORMAT --limiter
}

alone() {
  echo "== alone: each effect at the defaults (master +1000, path 0), no music"
  local game
  game=$( (echo "$effects"; one_by_one) | measuring_game alone)
  VANTOREL_SOUNDFONT=$work/none.sf2 record "$game" 56 "$work/alone.raw" $(presses 9 5.8 Return)
  stats "$work/alone.raw" $FORMAT --bursts "$names"
}

alone-half() {
  echo "== alone-half: the same with the player's effect volume at 50 % (-12 dB), against alone"
  local game
  game=$( (echo "$effects"; one_by_one) | measuring_game alone-half)
  SETTINGS=$half_effects VANTOREL_SOUNDFONT=$work/none.sf2 record "$game" 56 "$work/alone-half.raw" $(presses 9 5.8 Return)
  stats "$work/alone-half.raw" $FORMAT --bursts "$names" --compare "$work/alone.raw"
}

# The music alone as a measuring game plays it, for --against: the same
# start, no effects.
music_only() {
  local name=$1 seconds=$2 game
  shift 2
  game=$( (for line in "$@"; do echo "$line"; done; echo "ナレーション： 音楽だけ"; echo ".") | measuring_game "$name")
  record "$game" "$seconds" "$work/$name.raw"
}

over() {
  echo "== over: the same over the title's music (-3000)"
  local game
  music_only over-ref 56 "MIDIPlay School"
  game=$( (echo "$effects"; echo "MIDIPlay School"; one_by_one) | measuring_game over)
  record "$game" 56 "$work/over.raw" $(presses 9 5.8 Return)
  stats "$work/over.raw" $FORMAT --limiter
  stats "$work/over.raw" $FORMAT --from 0.5 --against "$work/over-ref.raw" --bursts "$names"
}

at-once() {
  echo "== at-once: all eight effects started together, over the title's music"
  local game
  game=$( (echo "$effects"; echo "MIDIPlay School"; echo "$wait_text"; echo "."
    for alias in ${names//,/ }; do echo "SEPlay $alias"; done
    echo "$wait_text"; echo "."; echo "ナレーション： 終わり"; echo ".") | measuring_game at-once)
  record "$game" 10 "$work/at-once.raw" 0 Return
  stats "$work/at-once.raw" $FORMAT --limiter
}

full() {
  echo "== full: the park's music (Evening) after FadeIn Volume, as the park scenes play it"
  music_only full 56 "MIDIPlay Evening" "FadeIn Volume"
  stats "$work/full.raw" $FORMAT --from 4 --limiter
}

full-half() {
  echo "== full-half: the same with the player's music volume at 50 % (-12 dB), against full"
  SETTINGS=$half_music music_only full-half 40 "MIDIPlay Evening" "FadeIn Volume"
  stats "$work/full-half.raw" $FORMAT --from 4 --compare "$work/full.raw"
}

night() {
  echo "== night: the second park scene's music (Night) after FadeIn Volume"
  music_only night 40 "MIDIPlay Night" "FadeIn Volume"
  stats "$work/night.raw" $FORMAT --from 4 --limiter
}

over-park() {
  echo "== over-park: the effects over the park's music at full volume, against full"
  local game
  [ -f "$work/full.raw" ] || music_only full 56 "MIDIPlay Evening" "FadeIn Volume"
  game=$( (echo "$effects"; echo "MIDIPlay Evening"; echo "FadeIn Volume"; one_by_one) | measuring_game over-park)
  record "$game" 56 "$work/over-park.raw" $(presses 9 5.8 Return)
  stats "$work/over-park.raw" $FORMAT --limiter
  stats "$work/over-park.raw" $FORMAT --from 1.8 --against "$work/full.raw" --bursts "$names"
}

pieces() {
  echo "== pieces: each MIDI file in ${PIECES_DIR:?PIECES_DIR names a folder of MIDI files} at full volume"
  local game f i=0
  for f in "$PIECES_DIR"/*.mid; do
    i=$((i + 1))
    game=$( (echo "MIDIPlay Piece$i"; echo "FadeIn Volume"; echo "ナレーション： 曲"; echo ".") | measuring_game "piece$i")
    cp "$f" "$game/GameData/Music/MIDI/Piece$i.mid"
    echo "-- $(basename "$f")"
    record "$game" "${PIECE_SECONDS:-15}" "$work/piece$i.raw" >/dev/null
    stats "$work/piece$i.raw" $FORMAT --from 2 --limiter
  done
}

for part in ${PARTS:-title title-half title-keys alone alone-half over at-once full full-half night over-park}; do
  "$part"
done
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
