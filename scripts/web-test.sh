#!/usr/bin/env bash
# The browser check: serves a page made by scripts/web.sh on 127.0.0.1,
# runs the game in it headless in Chromium (puppeteer-core) with the same
# passes, input and screenshots as the native headless build, and compares
# the screenshots (ImageMagick's compare). Pixels where pictures are blended
# may differ by up to 2 of 255 in a channel: SDL's software blitters take
# their MMX paths on x86-64 and their plain C ones in WebAssembly, which
# round differently; anything more fails. Then the page's export and
# import of all saves as a zip file (tests/web/saves_zip.cjs).
#
# Usage: scripts/web-test.sh PAGE_DIR NATIVE_BUILD_DIR
#   PAGE_DIR: scripts/web.sh's OUT for NATIVE_BUILD_DIR/game
# puppeteer-core is installed with npm into $VANTOREL_WEB_TEST
# (default ~/.cache/vantorel-web-test), outside the repository.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: scripts/web-test.sh PAGE_DIR NATIVE_BUILD_DIR" >&2; exit 2; }
PAGE=$(cd "$1" && pwd)
NATIVE=$(cd "$2" && pwd)
cd "$(dirname "$0")/.."
ROOT=$(pwd)
TOOLS=${VANTOREL_WEB_TEST:-$HOME/.cache/vantorel-web-test}
if [ ! -d "$TOOLS/node_modules/puppeteer-core" ]; then
  mkdir -p "$TOOLS"
  # Version 24 runs on Debian 12's Node 20 (25 wants Node 22).
  (cd "$TOOLS" && npm install --no-audit --no-fund puppeteer-core@24 >/dev/null)
fi
[ -x /usr/bin/chromium ] || { echo "web-test: chromium is not installed (apt-get install chromium)" >&2; exit 1; }
export NODE_PATH=$TOOLS/node_modules

T=$(mktemp -d)
PORT=${PORT:-$((20000 + RANDOM % 20000))}
python3 -m http.server --bind 127.0.0.1 --directory "$PAGE" "$PORT" >"$T/server.log" 2>&1 &
SERVER=$!
trap 'kill $SERVER 2>/dev/null; [ -n "${KEEP:-}" ] && echo "kept $T" || rm -rf "$T"' EXIT
for _ in $(seq 50); do
  python3 -c "import socket,sys; socket.create_connection(('127.0.0.1', $PORT), 1)" 2>/dev/null && break
  sleep 0.1
done

status=0
# compare_run NAME FRAMES SHOTS INPUT_LINES: one headless run both ways.
compare_run() {
  local name=$1 frames=$2 shots=$3 input=$4
  local args=(--headless --game-dir "$NATIVE/game" --save-dir "$T/$name-native-saves" --frames "$frames" --answer yes)
  local query="headless&frames=$frames&answer=yes&screenshot=$shots"
  local n
  mkdir -p "$T/$name-native" "$T/$name-native-saves"
  for n in ${shots//,/ }; do args+=(--screenshot "$n:$T/$name-native/shot-$n.png"); done
  if [ -n "$input" ]; then
    printf '%s\n' "${input//|/$'\n'}" > "$T/$name.in"
    args+=(--input "$T/$name.in")
    query+="&input=$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1]))' "$input")"
  fi
  "$NATIVE/vantorel" "${args[@]}" >/dev/null 2>"$T/$name-native.err" || { echo "FAIL $name: native run"; cat "$T/$name-native.err"; status=1; return; }
  if ! node "$ROOT/tests/web/run_page.cjs" "http://127.0.0.1:$PORT/index.html?$query" "$T/$name-web" > "$T/$name-web.json"; then
    echo "FAIL $name: the page's run"; cat "$T/$name-web.json" "$T/$name-web/console.txt" 2>/dev/null | tail -20; status=1; return
  fi
  echo "$name: $(cat "$T/$name-web.json")"
  for n in ${shots//,/ }; do
    local differ peak
    differ=$(compare -metric AE "$T/$name-native/shot-$n.png" "$T/$name-web/shot-$n.png" "$T/$name-diff-$n.png" 2>&1 || true)
    peak=$(compare -metric PAE "$T/$name-native/shot-$n.png" "$T/$name-web/shot-$n.png" null: 2>&1 | cut -d' ' -f1 || true)
    # PAE in 16-bit units: 2 of 255 is 514.
    if [ "$differ" = "0" ]; then
      echo "  pass $n: same pixels"
    elif [[ "$peak" =~ ^[0-9]+$ ]] && [ "$peak" -le 514 ]; then
      echo "  pass $n: $differ pixels differ by at most $((peak / 257)) of 255 (blending)"
    else
      echo "FAIL $name pass $n: $differ pixels differ, by up to $peak of 65535${KEEP:+ ($T/$name-diff-$n.png)}"
      status=1
    fi
  done
}

# The title as it first shows and once its buttons are up.
compare_run title 300 1,60,200,299 ""

# The saves' export and import through the page's buttons, round trip.
if ! node "$ROOT/tests/web/saves_zip.cjs" "http://127.0.0.1:$PORT/index.html" "$T/saves" > "$T/saves.txt"; then
  echo "FAIL saves: export and import"; cat "$T/saves.txt"; tail -20 "$T/saves/console.txt" 2>/dev/null; status=1
else
  echo "saves: $(grep -c '^ok' "$T/saves.txt") checks of the export and import passed"
fi
exit $status
