#!/usr/bin/env bash
# The browser check: serves a page made by scripts/web.sh on 127.0.0.1 and
# plays it headless in Chromium (puppeteer-core) against the native headless
# build, with the same passes, input and screenshots (tests/web/playthrough.py):
# the title, then the demo through a choice, a save, a reload of the page and
# a load; then the page's export and import of all saves as a zip file
# (tests/web/saves_zip.cjs). Screenshots must match pixel for pixel, or where pictures are
# blended within 4 of 255 a channel (up to 2 a blend, and a window frame
# over a character blends twice): SDL's software blitters take their MMX
# paths on x86-64 and their plain C ones in WebAssembly, which round
# differently; anything more fails. Last, the frame rate while the first
# message types out (tests/web/frame_pace.cjs).
#
# Usage: scripts/web-test.sh [--build] PAGE_DIR NATIVE_BUILD_DIR
#   PAGE_DIR: scripts/web.sh's OUT for NATIVE_BUILD_DIR/game; --build makes
#   it first (one command for CI). Exit status 0: passed; 1: a difference or
#   a failed run; 2: wrong usage or a missing tool. Each phase's time is
#   printed ("web-test: ... in N s").
# puppeteer-core is installed with npm into $VANTOREL_WEB_TEST
# (default ~/.cache/vantorel-web-test), outside the repository.
set -euo pipefail
BUILD_PAGE=
[ "${1:-}" = "--build" ] && { BUILD_PAGE=1; shift; }
[ $# -eq 2 ] || { echo "usage: scripts/web-test.sh [--build] PAGE_DIR NATIVE_BUILD_DIR" >&2; exit 2; }
mkdir -p "$1"
PAGE=$(cd "$1" && pwd)
NATIVE=$(cd "$2" && pwd)
cd "$(dirname "$0")/.."
ROOT=$(pwd)
TOOLS=${VANTOREL_WEB_TEST:-$HOME/.cache/vantorel-web-test}
[ -x "$NATIVE/vantorel" ] && [ -d "$NATIVE/game/GameData" ] ||
  { echo "web-test: no native build with the demo in $NATIVE (scripts/build.sh)" >&2; exit 2; }
[ -x /usr/bin/chromium ] || { echo "web-test: chromium is not installed (apt-get install chromium)" >&2; exit 2; }
phase_start=$(date +%s)
phase() { local now; now=$(date +%s); echo "web-test: $1 in $((now - phase_start)) s"; phase_start=$now; }

if [ -n "$BUILD_PAGE" ]; then
  scripts/web.sh "$NATIVE/game" "$PAGE" || { echo "web-test: scripts/web.sh failed" >&2; exit 1; }
  phase "the page built (libraries, engine, data)"
fi
[ -f "$PAGE/index.html" ] || { echo "web-test: no page in $PAGE (scripts/web.sh, or --build)" >&2; exit 2; }
if [ ! -d "$TOOLS/node_modules/puppeteer-core" ]; then
  mkdir -p "$TOOLS"
  # Version 24 runs on Debian 12's Node 20 (25 wants Node 22).
  (cd "$TOOLS" && npm install --no-audit --no-fund puppeteer-core@24 >/dev/null) ||
    { echo "web-test: npm could not install puppeteer-core" >&2; exit 2; }
  phase "puppeteer-core installed"
fi
export NODE_PATH=$TOOLS/node_modules

T=$(mktemp -d)
. scripts/web-serve.sh
serve_page "$PAGE" "$T/server.log"
trap 'kill $SERVER 2>/dev/null; [ -n "${KEEP:-}" ] && echo "kept $T" || rm -rf "$T"' EXIT

status=0
python3 tests/web/playthrough.py "$NATIVE" "http://127.0.0.1:$PORT/index.html" "$T" || status=1
phase "the title and the playthrough compared"
# The saves' export and import through the page's buttons, round trip.
if ! node "$ROOT/tests/web/saves_zip.cjs" "http://127.0.0.1:$PORT/index.html" "$T/saves" > "$T/saves.txt"; then
  echo "FAIL saves: export and import"; cat "$T/saves.txt"; tail -20 "$T/saves/console.txt" 2>/dev/null; status=1
else
  echo "saves: $(grep -c '^ok' "$T/saves.txt") checks of the export and import passed"
fi
phase "the saves' export and import checked"
# The frame rate while the first message types out.
if ! node "$ROOT/tests/web/frame_pace.cjs" "http://127.0.0.1:$PORT/index.html" > "$T/pace.txt"; then
  echo "FAIL frame pace"; cat "$T/pace.txt"; status=1
else
  echo "frame pace while typing: $(cat "$T/pace.txt")"
fi
phase "the frame pace checked"
[ $status -eq 0 ] && echo "web-test: passed" || echo "web-test: FAILED${KEEP:+ (files in $T)}"
exit $status
