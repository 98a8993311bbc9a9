#!/usr/bin/env bash
# Turns a game directory (the one holding GameData) into a static web page:
# OUT/index.html, the engine as OUT/vantorel.js and OUT/vantorel.wasm, the
# game's files packed in OUT/game.data (with OUT/game.js, which loads them),
# and the fonts the game's faces stand for. Any web server can serve OUT.
#
# Usage: scripts/web.sh GAMEDIR OUT
# The libraries come from scripts/web-deps.sh (built once, then cached); the
# engine is built into build-web/ (BUILD_WEB overrides), Release.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: scripts/web.sh GAMEDIR OUT" >&2; exit 2; }
GAME=$(cd "$1" && pwd)
mkdir -p "$2"
OUT=$(cd "$2" && pwd)
cd "$(dirname "$0")/.."
ROOT=$(pwd)
[ -d "$GAME/GameData" ] || { echo "web.sh: no GameData in $GAME" >&2; exit 1; }
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
# Debian's emcc is a Python program for Debian's Python (another one first on
# PATH, as a pyenv shim, may lack nothing but start ten times slower: every
# compile starts it).
[ -x /usr/bin/python3 ] && export EMSDK_PYTHON=${EMSDK_PYTHON:-/usr/bin/python3}

if ! deps=$(scripts/web-deps.sh); then
  printf '%s\n' "$deps" | tail -5 >&2
  echo "web.sh: scripts/web-deps.sh failed" >&2
  exit 1
fi
PREFIX=$(printf '%s\n' "$deps" | tail -1)
BUILD=${BUILD_WEB:-$ROOT/build-web}
mkdir -p "$BUILD"

# The code page table is written at build time by the build machine's
# iconv: a cp932gen for this machine.
[ "$BUILD/cp932gen.host" -nt tools/cp932gen/cp932gen.cpp ] ||
  c++ -std=c++20 -O2 tools/cp932gen/cp932gen.cpp -o "$BUILD/cp932gen.host"
emcmake cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DVANTOREL_WEB_PREFIX="$PREFIX" \
  -DVANTOREL_CP932GEN="$BUILD/cp932gen.host" -DCMAKE_FIND_ROOT_PATH="$PREFIX" >/dev/null
cmake --build "$BUILD" -j"${JOBS:-2}" --target vantorel

# The game's files as the page's program sees them: below /game, with each
# translation compiled (the browser build reads no PO files).
STAGE=$BUILD/stage
rm -rf "$STAGE"
mkdir -p "$STAGE/game" "$STAGE/fonts"
cp -r "$GAME/GameData" "$STAGE/game/"
find "$STAGE/game/GameData" -iname '*.po' | while read -r po; do
  msgfmt --check -o "${po%.*}.mo" "$po" && rm "$po"
done
# The faces the Windows Japanese face names stand for (as on Linux, the IPA
# fonts): web/FontResolveWeb.cpp looks for them below /fonts.
for f in ipagp.ttf ipag.ttf ipamp.ttf ipam.ttf; do
  found=$(find /usr/share/fonts -name "$f" | head -1)
  if [ -n "$found" ]; then cp "$found" "$STAGE/fonts/"; fi
done
ls "$STAGE/fonts"/*.ttf >/dev/null 2>&1 || { echo "web.sh: no IPA fonts (fonts-ipafont-gothic)" >&2; exit 1; }

(cd "$STAGE" && python3 /usr/share/emscripten/tools/file_packager.py "$OUT/game.data" \
  --preload game@/game fonts@/fonts --js-output="$OUT/game.js" >/dev/null)
cp "$BUILD/vantorel.js" "$BUILD/vantorel.wasm" "$OUT/"
cp web/index.html "$OUT/index.html"
echo "web.sh: the page is in $OUT ($(du -sh "$OUT" | cut -f1)); serve it, e.g. python3 -m http.server -d $OUT"
