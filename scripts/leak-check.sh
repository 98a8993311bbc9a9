#!/usr/bin/env bash
# Leak and memory checks on the built demo game (on a copy of BUILD/game):
#  1. a headless play-through under valgrind memcheck: no leaks ("definitely"
#     or "indirectly" lost) and no invalid reads or writes;
#  2. a long headless run (LONG_PASSES, default 225000 passes = an hour of
#     virtual time) cycling through the demo, printing the resident memory
#     every tenth of the run; it must stay flat.
#   scripts/leak-check.sh [BUILD_DIR] [valgrind|long|all]
set -euo pipefail
cd "$(dirname "$0")/.."
SRC=$(pwd)
BUILD=$(cd "${1:-build}" && pwd)
WHAT=${2:-all}
PLAY_PASSES=${PLAY_PASSES:-3000}
LONG_PASSES=${LONG_PASSES:-225000}
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$BUILD/game" "$work/game"

# Decide taps every 12 passes, a direction now and then: the demo plays
# through to its end and then replays its last scene for as long as it runs.
inputs() {
  awk -v n="$1" 'BEGIN { for (f = 30; f < n; f += 12) { print f, "tap decide 3"; if (f % 600 == 30) print f + 6, "tap right 2" } }'
}

if [ "$WHAT" = valgrind ] || [ "$WHAT" = all ]; then
  inputs "$PLAY_PASSES" >"$work/play.txt"
  echo "== valgrind play-through, $PLAY_PASSES passes"
  valgrind --error-exitcode=3 --leak-check=full --show-leak-kinds=definite,indirect \
    --errors-for-leak-kinds=definite,indirect --suppressions="$SRC/scripts/valgrind.supp" \
    --num-callers=30 --log-file="$work/valgrind.log" \
    "$BUILD/vantorel" --game-dir "$work/game" --headless --frames "$PLAY_PASSES" --input "$work/play.txt" \
    >/dev/null 2>&1 || { cat "$work/valgrind.log"; echo "FAIL: valgrind found errors"; exit 1; }
  grep -E 'ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable' "$work/valgrind.log" | sed 's/^==[0-9]*== //'
fi

if [ "$WHAT" = long ] || [ "$WHAT" = all ]; then
  inputs "$LONG_PASSES" >"$work/long.txt"
  echo "== long run, $LONG_PASSES passes ($((LONG_PASSES * 16 / 60000)) virtual minutes)"
  "$BUILD/vantorel" --game-dir "$work/game" --headless --frames "$LONG_PASSES" --input "$work/long.txt" \
    --trace "$work/trace.jsonl" >/dev/null 2>&1 &
  pid=$!
  start=$(date +%s)
  while kill -0 "$pid" 2>/dev/null; do
    rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
    passes=$(tail -n1 "$work/trace.jsonl" 2>/dev/null | grep -o '"frame":[0-9]*' | cut -d: -f2 || true)
    [ -n "$rss" ] && echo "t=$(($(date +%s) - start))s pass=${passes:-?} rss=${rss}KiB"
    sleep "${SAMPLE_SECONDS:-15}"
  done
  wait "$pid" || { echo "FAIL: the long run ended with status $?"; exit 1; }
  echo "long run finished after $(($(date +%s) - start)) s"
fi
