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

# --- Beside the peer: ONScripter (the Debian package onscripter, an engine of
# another lineage) shows the same scene built from the same pictures and
# line: a background, two standing pictures, one typed Japanese line, no
# music. Launches are interleaved; medians of PEER_RUNS with min-max, and the
# ratio peer / ours. Times come from an X client watching the display
# (scripts/xprobe.c): exec to the window mapped, and to the first frame
# showing text in the line's rectangle. CPU from schedstat (nanoseconds,
# every thread), peak resident memory from VmHWM.
ONS=$(command -v onscripter || ls /usr/games/onscripter 2>/dev/null || true)
if [ -n "$ONS" ] && command -v cc >/dev/null && [ -x "$BUILD/vantorel-script" ]; then
  PEER_RUNS=${PEER_RUNS:-5}
  IDLE_SECONDS=${IDLE_SECONDS:-20}
  cc -O2 -o "$work/xprobe" scripts/xprobe.c -lX11
  scene=$work/scene
  mkdir -p "$scene/src/オープニング" "$scene/ons"
  cp -r "$GAME" "$scene/vt"
  rm -rf "$scene/vt/GameData/Text/"*
  cat > "$scene/src/オープニング/オープニング1.txt" <<'SCENE'
/* 背景、立ち絵ふたつ、一行の文。音楽なし。 */
Texture 公園 BG\Park.png
Texture 立ち陽菜 Chara\Hina.png
Texture 立ち詩織 Chara\Shiori.png
Clear All
BG 公園
Left 立ち陽菜
Right 立ち詩織
ナレーション： 学校の裏手にある、小さな公園。
.
SCENE
  "$BUILD/vantorel-script" build "$scene/src" "$scene/vt" >/dev/null
  tex=$scene/vt/GameData/Texture
  cp "$tex/BG/Park.png" "$scene/ons/park.png"
  cp "$tex/Chara/Hina.png" "$scene/ons/hina.png"
  cp "$tex/Chara/Shiori.png" "$scene/ons/shiori.png"
  font=$(fc-match -f '%{file}' 'IPAGothic:lang=ja')
  ln -s "$font" "$scene/ons/default.ttf"
  # The line where ours stands, typed at one character per 16 ms as ours.
  printf '%s\n' '*define' 'caption "scene"' 'game' '*start' \
    'setwindow 220,350,20,3,16,16,0,4,16,0,1,#808080,20,320,620,470' \
    'bg "park.png",1' 'ld l,"hina.png",1' 'ld r,"shiori.png",1' '学校の裏手にある、小さな公園。\' 'end' |
    iconv -f UTF-8 -t CP932 > "$scene/ons/0.txt"
  ours=("$BIN" --game-dir "$scene/vt")
  peer=("$ONS" -r "$scene/ons")
  # The line's rectangle in window coordinates (ours has the menu bar above).
  ours_rect=(176 350 230 22 12)
  peer_rect=(216 350 230 22 12)

  stats() {  # values -> "median (min-max)"
    sort -n | awk '{v[NR] = $1} END {printf "%s (%s-%s)", v[int((NR + 1) / 2)], v[1], v[NR]}'
  }
  ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
  : > "$work/ours.t"; : > "$work/peer.t"
  for _ in $(seq "$PEER_RUNS"); do
    "$work/xprobe" "${peer_rect[@]}" -- "${peer[@]}" 2>/dev/null >> "$work/peer.t"
    "$work/xprobe" "${ours_rect[@]}" -- "${ours[@]}" 2>/dev/null >> "$work/ours.t"
  done
  echo "scene beside the peer, load $(cut -d' ' -f1-3 /proc/loadavg), medians of $PEER_RUNS (min-max), ms:"
  om=$(cut -d' ' -f1 "$work/ours.t" | stats); pm=$(cut -d' ' -f1 "$work/peer.t" | stats)
  ot=$(cut -d' ' -f2 "$work/ours.t" | stats); pt=$(cut -d' ' -f2 "$work/peer.t" | stats)
  echo "  window mapped:   ours $om   peer $pm   peer/ours $(ratio "${pm%% *}" "${om%% *}")"
  echo "  first text:      ours $ot   peer $pt   peer/ours $(ratio "${pt%% *}" "${ot%% *}")"

  # CPU of every thread over IDLE_SECONDS of the finished line waiting, and
  # the peak resident memory; the wakes are the main thread's.
  idle() {
    "$@" >/dev/null 2>&1 &
    local pid=$! a b w1 w2
    sleep 4
    if [ ! -d /proc/"$pid" ]; then echo "nan nan nan"; return; fi  # it did not stay up
    sum() { cat /proc/"$pid"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {print s + 0}'; }
    a=$(sum); w1=$(awk '/^voluntary_ctxt_switches/ {print $2}' /proc/"$pid"/status)
    sleep "$IDLE_SECONDS"
    b=$(sum); w2=$(awk '/^voluntary_ctxt_switches/ {print $2}' /proc/"$pid"/status)
    local hwm; hwm=$(awk '/^VmHWM/ {print $2}' /proc/"$pid"/status)
    kill -9 "$pid"; wait "$pid" 2>/dev/null || true
    awk -v d=$((b - a)) -v s="$IDLE_SECONDS" -v h="$hwm" -v w=$((w2 - w1)) \
      'BEGIN {printf "%.3f %.1f %.1f\n", d / 1e7 / s, h / 1024, w / s}'
  }
  : > "$work/ours.i"; : > "$work/peer.i"
  for _ in $(seq "${IDLE_RUNS:-3}"); do
    idle "${peer[@]}" >> "$work/peer.i"
    idle "${ours[@]}" >> "$work/ours.i"
  done
  echo "  (idle: load $(cut -d' ' -f1-3 /proc/loadavg), medians of ${IDLE_RUNS:-3}, ${IDLE_SECONDS} s each)"
  oc=$(cut -d' ' -f1 "$work/ours.i" | stats); pc=$(cut -d' ' -f1 "$work/peer.i" | stats)
  orss=$(cut -d' ' -f2 "$work/ours.i" | stats); prss=$(cut -d' ' -f2 "$work/peer.i" | stats)
  echo "  CPU waiting, % of a core: ours $oc   peer $pc   peer/ours $(ratio "${pc%% *}" "${oc%% *}")"
  echo "  peak resident, MiB:       ours $orss   peer $prss   peer/ours $(ratio "${prss%% *}" "${orss%% *}")"
  echo "  main-thread wakes a second: ours $(cut -d' ' -f3 "$work/ours.i" | stats)   peer $(cut -d' ' -f3 "$work/peer.i" | stats)"
else
  echo "peer comparison skipped: needs onscripter (apt-get install onscripter), cc and $BUILD/vantorel-script"
fi
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
