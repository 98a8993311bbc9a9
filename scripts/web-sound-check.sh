#!/usr/bin/env bash
# Measures that the page plays sound: serves a page made by scripts/web.sh
# on 127.0.0.1 and plays it in Chromium headless as a player would
# (tests/web/sound_check.cjs): the title with its music and the sparkle, a
# click beside the game, then Enter starts the story, whose corridor rings
# the school bell over the music. A tap on the page's Web Audio output
# records the levels; prints them per second (RMS and peak in dBFS) with a
# summary, and fails when the music is missing after the click, no effect
# rises above the music after Enter, or the page's line about sound is
# wrong: shown while the audio runs, or missing while it waits (Chromium
# under puppeteer lets audio start without a click, so the wait itself is
# seen only in a browser that holds it back).
#
# Usage: scripts/web-sound-check.sh PAGE_DIR [OUTDIR]
# puppeteer-core as for scripts/web-test.sh (in $VANTOREL_WEB_TEST).
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: scripts/web-sound-check.sh PAGE_DIR [OUTDIR]" >&2; exit 2; }
PAGE=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."
ROOT=$(pwd)
OUTDIR=${2:-$(mktemp -d)}
mkdir -p "$OUTDIR"
TOOLS=${VANTOREL_WEB_TEST:-$HOME/.cache/vantorel-web-test}
if [ ! -d "$TOOLS/node_modules/puppeteer-core" ]; then
  mkdir -p "$TOOLS"
  (cd "$TOOLS" && npm install --no-audit --no-fund puppeteer-core@24 >/dev/null)
fi
export NODE_PATH=$TOOLS/node_modules
. scripts/web-serve.sh
serve_page "$PAGE" "$OUTDIR/server.log"
trap 'kill $SERVER 2>/dev/null' EXIT
node "$ROOT/tests/web/sound_check.cjs" "http://127.0.0.1:$PORT/index.html?stamp" "$OUTDIR" > "$OUTDIR/summary.json" ||
  { cat "$OUTDIR/summary.json"; tail -20 "$OUTDIR/console.txt"; exit 1; }
python3 - "$OUTDIR/summary.json" <<'PY'
import json, sys
s = json.load(open(sys.argv[1]))
f = lambda v: "-" if v is None else ("-inf" if v == float("-inf") or v == "-Infinity" else f"{v:.1f}")
print(f"context {s['contextRate']} Hz; marks (s after the tap): {s['marksS']}")
print("second  blocks  RMS dBFS  peak dBFS")
for r in s["perSecond"]:
    print(f"{r['second']:6d}  {r['blocks']:6d}  {f(r['rmsDb']):>8}  {f(r['peakDb']):>9}")
b, m, e, last = s["beforeClick"], s["music"], s["loudestHalfSecondAfterEnter"], s["lastSecondBeforeEnter"]
print(f"before the first click: context {b['state']}, {b['blocks']} blocks, line: {b['line']!r}")
print(f"after it: context {s['afterClick']['state']}, line: {s['afterClick']['line']!r}")
print(f"music ({m['window']}): RMS {f(m['rmsDb'])} dBFS, peak {f(m['peakDb'])} dBFS")
print(f"loudest half second after Enter (at {e.get('atS')} s): RMS {f(e['rmsDb'])}, peak {f(e['peakDb'])};"
      f" the second before Enter: RMS {f(last['rmsDb'])}")
num = lambda v: float("-inf") if v in (None, "-Infinity") else v
ok = True
if b["state"] == "suspended":
    if b["blocks"] and num(b["rmsDb"]) > -90: print("FAIL: sound before the first click"); ok = False
    if not b["line"]: print("FAIL: no line about the sound while it waits for a click"); ok = False
elif b["line"]: print("FAIL: the line about the sound shown while the audio runs"); ok = False
if s["afterClick"]["line"]: print("FAIL: the line about the sound stayed"); ok = False
if num(m["rmsDb"]) < -45: print("FAIL: no music after the first click"); ok = False
# (the window above holds the click's own sound: the music must still play
# by itself in the second before Enter, once the soundfont is in)
if num(last["rmsDb"]) < -60: print("FAIL: no music in the second before Enter"); ok = False
if num(e["rmsDb"]) < num(last["rmsDb"]) + 3: print("FAIL: no effect above the music after Enter"); ok = False
sys.exit(0 if ok else 1)
PY
