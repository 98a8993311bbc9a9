#!/usr/bin/env bash
# Turns a game directory (the one holding GameData) into a static web page:
# OUT/index.html, the engine as OUT/vantorel.js and OUT/vantorel.wasm, the
# game's files packed in OUT/game.data (with OUT/game.js, which loads them),
# the fonts the game's faces stand for and the loudness of its MIDI pieces
# (measured by the native vantorel-script, built into build/ if need be);
# for the sound, FluidSynth's WebAssembly build as OUT/fluidsynth.js and the
# General MIDI soundfont TimGM6mb as OUT/TimGM6mb.sf2; for the saves' zip
# files, OUT/fflate.js.
# Any web server can serve OUT.
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
# fonts): web/FontResolveWeb.cpp looks for them below /fonts. Only the
# characters the game and the engine's screens can show (web-charset.py) are
# kept: some 250 KB a face instead of 6 MB (fonttools, Debian's
# python3-fonttools; its Python, not another one first on PATH).
python3 scripts/web-charset.py "$STAGE/game" "$ROOT" > "$BUILD/chars.txt"
for f in ipagp.ttf ipag.ttf ipamp.ttf ipam.ttf; do
  found=$(find /usr/share/fonts -name "$f" | head -1)
  [ -n "$found" ] || continue
  /usr/bin/python3 -m fontTools.subset "$found" --text-file="$BUILD/chars.txt" --output-file="$STAGE/fonts/$f" \
    --layout-features='*' --name-IDs='*' --name-languages='*' --notdef-outline --glyph-names ||
    { echo "web.sh: fonttools could not subset $f (apt-get install python3-fonttools)" >&2; exit 1; }
done
ls "$STAGE/fonts"/*.ttf >/dev/null 2>&1 || { echo "web.sh: no IPA fonts (fonts-ipafont-gothic)" >&2; exit 1; }

# The desktop's General MIDI soundfont (Debian's timgm6mb-soundfont); the
# page puts it where the engine looks on Linux.
SF2=/usr/share/sounds/sf2/TimGM6mb.sf2
[ -f "$SF2" ] || { echo "web.sh: no $SF2 (apt-get install timgm6mb-soundfont)" >&2; exit 1; }

# The loudness of the game's MIDI pieces, which the page cannot measure as a
# piece starts (one thread: platform/web/KnownLoudness.cpp), measured here
# by the native vantorel-script with the soundfont the page ships, into the
# page's own files (/page). The native build is build/ (BUILD_NATIVE
# overrides), configured when missing; only vantorel-script and the engine
# (for the first reads, below) are built.
mkdir -p "$STAGE/page"
NATIVE=${BUILD_NATIVE:-$ROOT/build}
TABLE=$STAGE/page/music-loudness.txt
: > "$TABLE"
if { [ -f "$NATIVE/CMakeCache.txt" ] || cmake -S . -B "$NATIVE" -DCMAKE_BUILD_TYPE=Release >"$BUILD/native.log" 2>&1; } &&
  cmake --build "$NATIVE" -j"${JOBS:-2}" --target vantorel-script vantorel >>"$BUILD/native.log" 2>&1; then
  SCRIPT_TOOL=$NATIVE/vantorel-script
elif [ -x "$NATIVE/vantorel-script" ]; then
  echo "web.sh: warning: vantorel-script could not be brought up to date (see $BUILD/native.log); using the one in $NATIVE" >&2
  SCRIPT_TOOL=$NATIVE/vantorel-script
else
  SCRIPT_TOOL=
  echo "web.sh: warning: no native vantorel-script could be built (see $BUILD/native.log):" \
    "the page's music is not levelled" >&2
fi
if [ -n "$SCRIPT_TOOL" ] && ! "$SCRIPT_TOOL" loudness --soundfont "$SF2" "$GAME" >"$TABLE" 2>"$BUILD/loudness.log"; then
  sed 's/^/web.sh: warning: /' "$BUILD/loudness.log" >&2
  echo "web.sh: warning: the pieces named above play unlevelled in the page" >&2
fi
[ -n "$SCRIPT_TOOL" ] && echo "web.sh: $(grep -vc '^#' "$TABLE" || true) MIDI pieces measured for the page's music levelling"

# A game larger than VANTOREL_WEB_UPFRONT_MB (default 3) keeps its pictures
# and sound effects out of game.data: they are served one by one below OUT/files,
# the page knows them by name and size (OUT/ondemand.js) and fetches each
# when the engine first reads it, and the rest in the background.
# The files the game's first frames read are fetched from the page's start,
# all at once, rather than one after another as the engine asks: the native
# engine says which in short headless runs (VANTOREL_READ_LOG), one in the
# original and one in each translation, which may have pictures of its own
# (the page plays in the player's language). Without one, each is fetched
# when asked for.
rm -rf "$OUT/files"
: > "$BUILD/first-reads.txt"
if [ -x "$NATIVE/vantorel" ]; then
  for language in ja $(find "$GAME" -ipath '*/translations/*' \( -name '*.po' -o -name '*.mo' \) -printf '%f\n' 2>/dev/null |
                       sed 's/\.[^.]*$//' | sort -u); do
    scratch=$(mktemp -d)
    HOME=$scratch VANTOREL_READ_LOG="$BUILD/first-reads.txt" "$NATIVE/vantorel" --headless --game-dir "$GAME" \
      --save-dir "$scratch/saves" --language "$language" --frames 10 >/dev/null 2>&1 ||
      echo "web.sh: warning: the native engine's headless run ($language) failed: the page fetches those files when asked for" >&2
    rm -rf "$scratch"
  done
else
  echo "web.sh: warning: no native engine in $NATIVE: the page fetches each file when asked for" >&2
fi
python3 - "$STAGE" "$OUT" "${VANTOREL_WEB_UPFRONT_MB:-3}" "$GAME" "$BUILD/first-reads.txt" <<'PY' > "$OUT/ondemand.js"
import json, os, sys
stage, out, upfront_mb, game, reads = sys.argv[1], sys.argv[2], float(sys.argv[3]), sys.argv[4], sys.argv[5]
# MIDI stays: small, and read at the title.
kinds = (".png", ".jpg", ".jpeg", ".bmp", ".tga", ".dds", ".wav", ".ogg")
files = sorted(os.path.relpath(os.path.join(b, n), stage) for b, _, ns in os.walk(os.path.join(stage, "game")) for n in ns)
total = sum(os.path.getsize(os.path.join(stage, f)) for f in files)
deferred = []
if total > upfront_mb * 1048576:
    for f in files:
        if f.lower().endswith(kinds):
            os.makedirs(os.path.dirname(os.path.join(out, "files", f)), exist_ok=True)
            os.replace(os.path.join(stage, f), os.path.join(out, "files", f))
            deferred.append(["/" + f, os.path.getsize(os.path.join(out, "files", f))])
# Read by the first frames, in the order read: as the page names them.
held = {path for path, _ in deferred}
first = []
for line in open(reads, encoding="utf-8", errors="surrogateescape"):
    # (the engine names them from its working directory, links resolved)
    rel = os.path.relpath(os.path.realpath(line.rstrip("\n")), os.path.realpath(game))
    path = "/game/" + rel
    if not rel.startswith("..") and path in held and path not in first:
        first.append(path)
print("var vantorelDeferred = " + json.dumps(deferred, ensure_ascii=False) + ";")
print("var vantorelFirstReads = " + json.dumps(first, ensure_ascii=False) + ";")
PY
cat web/ondemand.js >> "$OUT/ondemand.js"

(cd "$STAGE" && python3 /usr/share/emscripten/tools/file_packager.py "$OUT/game.data" \
  --preload game@/game fonts@/fonts page@/page --js-output="$OUT/game.js" >/dev/null)
cp "$BUILD/vantorel.js" "$BUILD/vantorel.wasm" "$OUT/"

# The page's JavaScript from the npm registry, kept outside the repository:
# FluidSynth compiled to WebAssembly as the package js-synthesizer ships it
# (the engine calls FluidSynth's own functions, as on Linux:
# platform/web/FluidWeb.cpp), and fflate, which writes and reads the saves'
# zip files.
NPM_DIR=${VANTOREL_WEB_JS:-$HOME/.cache/vantorel-web-js}
NPM_PACKAGES="js-synthesizer@1.13.0 fflate@0.8.2"
if [ "$(cat "$NPM_DIR/.installed" 2>/dev/null)" != "$NPM_PACKAGES" ]; then
  mkdir -p "$NPM_DIR"
  # (js-synthesizer asks for Node 22 for its own build tools; its files
  # need no Node at all)
  (cd "$NPM_DIR" && npm install --no-audit --no-fund --no-save --loglevel=error $NPM_PACKAGES >/dev/null)
  echo "$NPM_PACKAGES" > "$NPM_DIR/.installed"
fi
FLUID=$NPM_DIR/node_modules/js-synthesizer/externals/libfluidsynth-2.4.6.js
[ -f "$FLUID" ] || { echo "web.sh: $FLUID is missing" >&2; exit 1; }
# Emscripten's output keeps its state in a global Module, as the engine's
# does: wrapped in a function, FluidSynth's is its own (VantorelFluid).
{
  echo "// FluidSynth 2.4.6 (LGPL 2.1: fluidsynth-LICENSE.txt), from the npm package js-synthesizer 1.13.0."
  echo "var VantorelFluid = (function () { var Module = {};"
  cat "$FLUID"
  echo "return Module; })();"
} > "$OUT/fluidsynth.js"
cp "$NPM_DIR/node_modules/js-synthesizer/externals/LICENSE.fluidsynth.txt" "$OUT/fluidsynth-LICENSE.txt"
cp "$NPM_DIR/node_modules/fflate/umd/index.js" "$OUT/fflate.js"
cp "$SF2" "$OUT/TimGM6mb.sf2"
cp web/index.html web/sound.js web/saves.js "$OUT/"
echo "web.sh: the page is in $OUT ($(du -sh "$OUT" | cut -f1)); serve it, e.g. python3 -m http.server -d $OUT"
