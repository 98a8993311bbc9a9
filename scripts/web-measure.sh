#!/usr/bin/env bash
# Figures of a page made by scripts/web.sh, measured in Chromium headless
# from a local server that gzips what it sends (tests/web/measure.cjs): page
# load to the title's first frame with a cold cache (RUNS runs, default 5),
# the bytes downloaded until then and for the whole game, the frame time
# while a message types out; and each file's size, raw and gzip -9.
#
# Usage: scripts/web-measure.sh PAGE_DIR [RUNS]
# Needs what scripts/web-test.sh needs (chromium, puppeteer-core in
# $VANTOREL_WEB_TEST, default ~/.cache/vantorel-web-test).
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: scripts/web-measure.sh PAGE_DIR [RUNS]" >&2; exit 2; }
PAGE=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."
TOOLS=${VANTOREL_WEB_TEST:-$HOME/.cache/vantorel-web-test}
[ -d "$TOOLS/node_modules/puppeteer-core" ] || { echo "web-measure: run scripts/web-test.sh once (it installs puppeteer-core)" >&2; exit 2; }
export NODE_PATH=$TOOLS/node_modules
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); load average $(cut -d' ' -f1-3 /proc/loadavg)"
for path in "$PAGE"/*; do
  [ -f "$path" ] || continue
  printf '%-22s %10d B  gzip -9 %10d B\n' "$(basename "$path")" "$(stat -c %s "$path")" "$(gzip -9c "$path" | wc -c)"
done
if [ -d "$PAGE/files" ]; then
  printf '%-22s %10d B  gzip -9 %10d B  (%d files fetched on demand)\n' files/ \
    "$(find "$PAGE/files" -type f -exec cat {} + | wc -c)" \
    "$(find "$PAGE/files" -type f -exec sh -c 'for f; do gzip -9c "$f"; done' _ {} + | wc -c)" \
    "$(find "$PAGE/files" -type f | wc -l)"
fi
node tests/web/measure.cjs "$PAGE" "${2:-5}"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
